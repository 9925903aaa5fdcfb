# Reads a .vcf file the way another program does: the bytes strictly as UTF-8 (RFC 6350
# section 3.1 allows no other charset), then the record parsed by Python's vobject. Prints one line
# per property in file order, "<name>[;<types>] <value as JSON>", compound values as lists of their
# components. Any decoding or parsing error ends the script with a non-zero status.
import json
import sys

import vobject


def value_of(line):
    v = line.value
    if isinstance(v, vobject.vcard.Name):
        return [v.family, v.given, v.additional, v.prefix, v.suffix]
    if isinstance(v, vobject.vcard.Address):
        return [v.box, v.extended, v.street, v.city, v.region, v.code, v.country]
    return v


with open(sys.argv[1], 'rb') as f:
    text = f.read().decode('utf-8')
card = vobject.readOne(text)
for line in card.lines():
    key = line.name.lower()
    if 'TYPE' in line.params:
        key += ';' + ','.join(line.params['TYPE'])
    out = key + ' ' + json.dumps(value_of(line), ensure_ascii=False) + '\n'
    sys.stdout.buffer.write(out.encode('utf-8'))

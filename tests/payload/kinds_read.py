# Reads the records of the phone, SMS, place, event and payment kinds the way other programs do.
# Input: a file of JSON objects, one a line, each {"op": ..., ...}; output: one JSON value a line,
# in the same order. Ops:
#   iban {"value"}       python-stdnum's stdnum.iban.is_valid
#   rf {"value"}         python-stdnum's stdnum.iso11649.is_valid
#   epc {fields}         the record segno's make_epc_qr helper writes for the same fields
#   geo {"lat", "lon"}   segno's make_geo_data
#   uri {"text"}         urllib.parse: scheme, path, the decoded q parameter
#   ical {"text"}        icalendar: the first VEVENT's summary, start and end (UTC times as
#                        "YYYY-MM-DDTHH:MM:SSZ", dates as "YYYY-MM-DD"), location, description
import datetime
import json
import sys
import urllib.parse

import icalendar
import segno.helpers
import stdnum.iban
import stdnum.iso11649


def when(prop):
    if prop is None:
        return None
    v = prop.dt
    if isinstance(v, datetime.datetime):
        if v.tzinfo is None:
            return 'floating ' + v.isoformat()
        return v.astimezone(datetime.timezone.utc).strftime('%Y-%m-%dT%H:%M:%SZ')
    return v.isoformat()


def ical(text):
    cal = icalendar.Calendar.from_ical(text)
    events = [cal] if cal.name == 'VEVENT' else list(cal.walk('VEVENT'))
    e = events[0]
    return {'summary': str(e.get('summary', '')), 'start': when(e.get('dtstart')),
            'end': when(e.get('dtend')), 'location': str(e.get('location', '')),
            'description': str(e.get('description', ''))}


def run(op):
    kind = op['op']
    if kind == 'iban':
        return stdnum.iban.is_valid(op['value'])
    if kind == 'rf':
        return stdnum.iso11649.is_valid(op['value'])
    if kind == 'epc':
        data = segno.helpers._make_epc_qr_data(
            name=op['name'], iban=op['iban'], amount=op.get('amount'), text=op.get('text'),
            reference=op.get('reference'), bic=op.get('bic'), purpose=op.get('purpose'),
            encoding='utf-8')
        return data.decode('utf-8')
    if kind == 'geo':
        return segno.helpers.make_geo_data(op['lat'], op['lon'])
    if kind == 'uri':
        u = urllib.parse.urlparse(op['text'])
        q = urllib.parse.parse_qs(u.query).get('q', [''])[0]
        return {'scheme': u.scheme, 'path': u.path, 'q': q}
    if kind == 'ical':
        return ical(op['text'].encode('utf-8'))
    raise ValueError(kind)


with open(sys.argv[1], encoding='utf-8') as f:
    for line in f:
        try:
            out = run(json.loads(line))
        except Exception as e:  # a record the reader refuses: say so on its line
            out = {'error': type(e).__name__ + ': ' + str(e)}
        sys.stdout.write(json.dumps(out, ensure_ascii=False, sort_keys=True) + '\n')

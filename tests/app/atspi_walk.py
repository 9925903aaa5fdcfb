# Walks the real window's accessibility tree as a screen reader sees it (AT-SPI, through
# Debian's gir1.2-atspi-2.0) and fails on a control without a name, or one whose name has stray
# blanks. Every page of the tab list is chosen in turn, as a user would, and walked while shown.
# Run by atspi_walk.sh, which starts the window on a private session and accessibility bus.
import sys
import time

import gi

gi.require_version('Atspi', '2.0')
from gi.repository import Atspi  # noqa: E402

CONTROLS = {Atspi.Role.PUSH_BUTTON, Atspi.Role.CHECK_BOX, Atspi.Role.COMBO_BOX, Atspi.Role.TEXT,
            Atspi.Role.SPIN_BUTTON, Atspi.Role.SLIDER, Atspi.Role.SCROLL_BAR,
            Atspi.Role.RADIO_BUTTON, Atspi.Role.PAGE_TAB, Atspi.Role.ENTRY,
            Atspi.Role.TOGGLE_BUTTON, Atspi.Role.IMAGE}


def application(name, seconds):
    end = time.time() + seconds
    while time.time() < end:
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is not None and app.get_name() == name:
                return app
        time.sleep(0.5)
    return None


def nodes(node):
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            yield child
            yield from nodes(child)


def faults(app, page):
    found, bad = 0, []
    for node in nodes(app):
        if node.get_role() not in CONTROLS:
            continue
        if not node.get_state_set().contains(Atspi.StateType.SHOWING):
            continue
        found += 1
        name = node.get_name() or ''
        if not name.strip() or name != name.strip():
            box = node.get_extents(Atspi.CoordType.WINDOW)
            bad.append(f'{page}: {node.get_role_name()} named {name!r} at {box.x},{box.y} '
                       f'({box.width}x{box.height})')
    return found, bad


app = application(sys.argv[1], 30)
if app is None:
    sys.exit(f'no application named {sys.argv[1]} on the accessibility bus')
tabs = next((n for n in nodes(app) if n.get_role() == Atspi.Role.PAGE_TAB_LIST), None)
if tabs is None:
    sys.exit('no page tab list')
tab_list = [tabs.get_child_at_index(i) for i in range(tabs.get_child_count())]
tab_list = [tab for tab in tab_list if tab.get_role() == Atspi.Role.PAGE_TAB]  # not the arrows
pages = [tab.get_name() for tab in tab_list]
problems, total = [], 0
for tab, page in zip(tab_list, pages):
    Atspi.Action.do_action(tab, 0)  # as a click on the tab
    time.sleep(0.4)
    found, bad = faults(app, page)
    total += found
    print(f'{page}: {found} controls')
    problems += bad
    if found < 10:
        problems.append(f'{page}: only {found} controls shown')
print(f'{len(pages)} pages, {total} controls walked')
for problem in problems:
    print('FAULT', problem)
sys.exit(1 if problems or len(pages) < 10 else 0)

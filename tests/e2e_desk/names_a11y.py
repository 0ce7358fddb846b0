"""Reads the names offered under a box over AT-SPI, as a screen reader does, until they are the
expected ones: names_a11y.py LIST_NAME CHOSEN NAME... (CHOSEN: the selected item's place, or -1)."""
import os
import sys
import time

import pyatspi


def children(obj):
    return [c for c in (obj.getChildAtIndex(i) for i in range(obj.childCount)) if c is not None]


def offered(name):
    todo = [a for a in children(pyatspi.Registry.getDesktop(0)) if a.name == "Pelorin"]
    while todo:
        o = todo.pop()
        if o.getRole() == pyatspi.ROLE_LIST and o.name == name and o.getState().contains(pyatspi.STATE_SHOWING):
            items = children(o)
            return [i.name for i in items], [n for n, i in enumerate(items) if i.getState().contains(pyatspi.STATE_SELECTED)]
        if o.getRole() != pyatspi.ROLE_TABLE:  # a table's cells are many
            todo.extend(children(o))
    return None


name, chosen, wanted = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
expected = (wanted, [chosen] if chosen >= 0 else [])
deadline = time.monotonic() + float(os.environ.get("E2E_TIMEOUT", "60"))
while (got := offered(name)) != expected and time.monotonic() < deadline:
    time.sleep(0.2)
print(f"names-a11y: {name}: {got}")
sys.exit(0 if got == expected else 1)

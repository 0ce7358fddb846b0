"""Reads the names offered under a box of the ledger over AT-SPI, as a screen reader does: the list
must be there with its name and its items, the chosen one selected. Arguments: the list's name,
then the names expected in order; with --chosen N, item N (from 0) must be the selected one."""
import os
import sys
import time

import pyatspi

TIMEOUT = float(os.environ.get("E2E_TIMEOUT", "60"))


def children(obj):
    return [c for c in (obj.getChildAtIndex(i) for i in range(obj.childCount)) if c is not None]


def find_list(name):
    desktop = pyatspi.Registry.getDesktop(0)
    todo = [a for a in children(desktop) if a.name == "Pelorin"]
    while todo:
        o = todo.pop()
        if o.getRole() == pyatspi.ROLE_LIST and o.name == name and o.getState().contains(pyatspi.STATE_SHOWING):
            return o
        if o.getRole() != pyatspi.ROLE_TABLE:
            todo.extend(children(o))
    return None


def read(name):
    lst = find_list(name)
    if lst is None:
        return None
    items = children(lst)
    return [i.name for i in items], [i.getState().contains(pyatspi.STATE_SELECTED) for i in items]


args = sys.argv[1:]
chosen = None
if args[0] == "--chosen":
    chosen, args = int(args[1]), args[2:]
name, wanted = args[0], args[1:]
deadline = time.monotonic() + TIMEOUT
while True:
    got = read(name)
    ok = got is not None and got[0] == wanted and (chosen is None or [i for i, s in enumerate(got[1]) if s] == [chosen])
    if ok or time.monotonic() > deadline:
        break
    time.sleep(0.2)
print(f"names-a11y: {name}: {got}")
sys.exit(0 if ok else 1)

"""Reads the ledger window over AT-SPI as a screen reader does, and drives it through the same
interfaces: every focusable object must have an Arabic name and a role other than a bare image,
a warning cell must say its warning, the report picture must open the preview when pressed, a
date picture must open the picker whose inputs are named, and its status lines must be announced."""
import os
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

ARABIC = re.compile("[\u0600-\u06ff]")
# Seconds any wait gives up after: the end-to-end library's, so that a busy machine is slow, not red.
TIMEOUT = float(os.environ.get("E2E_TIMEOUT", "60"))
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what, file=sys.stderr)


def until(condition):
    """Polls condition, at first often, until it gives something true or TIMEOUT passes; its last
    value. Pending bus events are handled between tries."""
    deadline = time.monotonic() + TIMEOUT
    pause = 0.05
    while True:
        value = condition()
        if value or time.monotonic() >= deadline:
            return value
        while GLib.MainContext.default().iteration(False):
            pass
        time.sleep(pause)
        pause = min(pause * 2, 0.5)


def children(obj):
    for i in range(obj.childCount):
        c = obj.getChildAtIndex(i)
        if c is not None:
            yield c


def walk(obj, depth=0, out=None):
    out = [] if out is None else out
    out.append((depth, obj))
    # A table's cells are many and carry their own text; the table, its headers and a few cells
    # are read through the table interface below.
    if obj.getRole() != pyatspi.ROLE_TABLE:
        for c in children(obj):
            walk(c, depth + 1, out)
    else:
        for c in children(obj):
            if c.getRole() == pyatspi.ROLE_TABLE_COLUMN_HEADER:
                out.append((depth + 1, c))
    return out


def app():
    desktop = pyatspi.Registry.getDesktop(0)
    found = until(lambda: next((a for a in children(desktop) if a.name == "Pelorin"), None))
    if found is None:
        sys.exit("e2e: the program is not on the accessibility bus")
    return found


def showing_window(application, name):
    """The application's window showing now whose title matches name, or None."""
    return next((w for w in children(application)
                 if re.search(name, w.name or "") and w.getState().contains(pyatspi.STATE_SHOWING)), None)


def window(application, name):
    return until(lambda: showing_window(application, name))


def find(root, role, name):
    for _, o in walk(root):
        if o.getRole() == role and o.name == name:
            return o
    return None


def press(obj):
    action = obj.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    check("Press" in names, f"{obj.name} has no press action ({names})")
    if "Press" in names:
        action.doAction(names.index("Press"))


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True, check=False).stdout.split()


def key(name, title="^Pelorin$"):
    """Sends the key to the window titled so once it has the keyboard: no window manager runs on
    the screen, and the program reads keys only in its window that has it."""
    def focused():
        ids = xdotool("search", "--onlyvisible", "--name", title)
        if ids and xdotool("getwindowfocus", "-f") == ids[:1]:
            return True
        if ids:
            xdotool("windowfocus", ids[0])
        return False

    check(until(focused), f"no window {title!r} took the keyboard for {name}")
    xdotool("key", name)


def press_opens(application, root, button_name, title):
    """Presses the named push button through its action; the window it opened, or None."""
    button = find(root, pyatspi.ROLE_PUSH_BUTTON, button_name)
    check(button is not None, f"no {button_name} button")
    if button is None:
        return None
    press(button)
    opened = window(application, title)
    check(opened is not None, f"pressing {button_name} opened no window")
    return opened


def escape_closes(application, title, what):
    key("Escape", title)
    check(until(lambda: showing_window(application, title) is None), f"Escape did not close {what}")


application = app()
ledger = window(application, "^Pelorin$")
if ledger is None:
    sys.exit("e2e: no ledger window on the bus")

print("The ledger window as a screen reader reads it (role: name [description]):")
for depth, o in walk(ledger):
    state = o.getState()
    desc = f" [{o.description}]" if o.description else ""
    print(f"{'  ' * depth}{o.getRoleName()}: {o.name}{desc}")
    if state.contains(pyatspi.STATE_FOCUSABLE) and o.getRole() != pyatspi.ROLE_TABLE_CELL:
        check(bool(ARABIC.search(o.name or "")), f"focusable {o.getRoleName()} without an Arabic name: {o.name!r}")
        check(o.getRole() != pyatspi.ROLE_IMAGE, f"focusable object read as a bare image: {o.name!r}")

# The list: headers named by their captions, cells by their text, a warning by its words.
table = next((o for _, o in walk(ledger) if o.getRole() == pyatspi.ROLE_TABLE), None)
check(table is not None, "no table in the ledger window")
if table is not None:
    t = table.queryTable()
    headers = [t.getColumnHeader(c).name for c in range(t.nColumns)]
    check(headers[1:] == ["اسم الكتاب", "اسم المؤلف", "اسم المستعير", "تاريخ الإعارة", "تاريخ الرد", "مدة الإعارة"],
          f"column headers {headers}")
    rows = {t.getAccessibleAt(r, 1).name: r for r in range(t.nRows)}
    check(set(rows) == {"الأيام", "الحرافيش"}, f"titles in the list: {sorted(rows)}")
    out = t.getAccessibleAt(rows.get("الحرافيش", 0), 5)
    print(f"warning cell: {out.name} [{out.description}]")
    check(out.name == "لم يرد بعد" and out.description == "لم يقم المستعير برد الكتاب بعد",
          f"the not-returned cell reads {out.name!r} [{out.description!r}]")
    plain = t.getAccessibleAt(rows.get("الأيام", 0), 5)
    check(plain.description == "", f"a cell without a warning has the description {plain.description!r}")

# The find bar: its box named, its count read with its caption, its close image a button.
def shown_in_ledger():
    return {(o.getRoleName(), o.name, o.description) for _, o in walk(ledger)
            if o.getState().contains(pyatspi.STATE_SHOWING)}


def find_box_shown():
    return any(r == "text" and n == "بحث في القائمة" for r, n, _ in shown_in_ledger())


key("ctrl+f")
until(find_box_shown)
bar = shown_in_ledger()
print("find bar:", sorted(f"{n} [{d}]" for r, n, d in bar if "بحث" in n + d or "الظاهرة" in n))
named = {(r, n) for r, n, _ in bar}
for item in [("text", "بحث في القائمة"), ("status bar", "عدد الإعارات الظاهرة: 2 من 2")]:
    check(item in named, f"the find bar lacks {item}")
check(("push button", "إغلاق", "إغلاق البحث وإظهار كل الإعارات") in bar, "the find bar's close image is not read")
key("Escape")
check(until(lambda: not find_box_shown()), "Escape did not close the find bar")

# The restore window (Ctrl+R): its list of backups named, a damaged one saying why, its buttons.
key("ctrl+r")
restore = window(application, "^استعادة نسخة احتياطية$")
check(restore is not None, "Ctrl+R opened no restore window")
if restore is not None:
    found = {(o.getRoleName(), o.name) for _, o in walk(restore)}
    for item in [("table", "النسخ الاحتياطية"), ("push button", "استعادة"), ("push button", "إلغاء"),
                 ("push button", "إغلاق")]:
        check(item in found, f"the restore window lacks {item}")
    backups = next((o for _, o in walk(restore) if o.getRole() == pyatspi.ROLE_TABLE), None)
    if backups is not None:
        t = backups.queryTable()
        states = [t.getAccessibleAt(r, 4) for r in range(t.nRows)]
        print("backups:", [(c.name, c.description[:40]) for c in states])
        damaged = [c for c in states if c.name == "تالفة"]
        check(len(damaged) == 1 and damaged[0].description.startswith("لا تصلح هذه النسخة للاستعادة"),
              "the damaged backup does not say why")
    escape_closes(application, "^استعادة نسخة احتياطية$", "the restore window")

# The report picture, pressed through the action interface, opens the preview.
preview = press_opens(application, ledger, "تقرير بالكتب المُعارة", "معاينة قبل الطباعة")
if preview is not None:
    print(f"preview opened: {preview.getRoleName()}: {preview.name}")
    escape_closes(application, "معاينة قبل الطباعة", "the preview")

# The loan-date picture opens the picker; its inputs are named by their captions, and a new
# choice of day is announced on its status lines.
picker = press_opens(application, ledger, "اختيار تاريخ الإعارة", "^اختيار تاريخ الإعارة$")
if picker is not None:
    print("The date picker:")
    named = set()
    for depth, o in walk(picker):
        # On this desktop a drop-down list is named by its current item and labelled by its
        # caption, as screen readers expect.
        labels = [r.getTarget(0).name for r in o.getRelationSet()
                  if r.getRelationType() == pyatspi.RELATION_LABELLED_BY]
        caption = f" (labelled {labels[0]})" if labels else ""
        print(f"{'  ' * depth}{o.getRoleName()}: {o.name}{caption}")
        named.add((o.getRoleName(), labels[0] if labels and o.getRole() == pyatspi.ROLE_COMBO_BOX else o.name))
    for role, name in [("combo box", "يوم"), ("combo box", "شهر"), ("text", "سنة"), ("push button", "حفظ"),
                       ("push button", "إلغاء"), ("push button", "إغلاق"), ("status bar", None)]:
        check(any(r == role and (name is None or n == name) for r, n in named), f"picker lacks {role} {name}")
    announced = []

    def heard(event):
        if event.source.getRole() == pyatspi.ROLE_STATUS_BAR:
            announced.append(event.source.name)

    pyatspi.Registry.registerEventListener(heard, "object:property-change:accessible-name")
    key("Down", "^اختيار تاريخ الإعارة$")  # the day list has the focus: the next day
    loop = GLib.MainLoop()
    started = time.monotonic()
    GLib.timeout_add(50, lambda: (loop.quit() if announced or time.monotonic() - started > TIMEOUT else True))
    loop.run()
    pyatspi.Registry.deregisterEventListener(heard, "object:property-change:accessible-name")
    print(f"announced on the picker's status lines: {announced}")
    check(bool(announced), "a new day was not announced")
    escape_closes(application, "^اختيار تاريخ الإعارة$", "the picker")

# The update and about windows: each opened by its picture, every control named, closed by Escape.
for picture, title, expected in [("البحث عن تحديث للبرنامج", "^البحث عن تحديث للبرنامج$",
                                  [("push button", "انقر هنا للبحث عن تحديث جديد للبرنامج"), ("push button", "إغلاق")]),
                                 ("حول البرنامج", "حول", [("push button", "موقع البرنامج على الإنترنت"),
                                                          ("push button", "إغلاق")])]:
    opened = press_opens(application, ledger, picture, title)
    if opened is None:
        continue
    print(f"{opened.getRoleName()}: {opened.name}")
    for depth, o in walk(opened):
        if o.getState().contains(pyatspi.STATE_FOCUSABLE):
            print(f"{'  ' * depth}{o.getRoleName()}: {o.name}")
            check(bool(ARABIC.search(o.name or "")), f"{opened.name}: focusable {o.getRoleName()} unnamed")
    found = {(o.getRoleName(), o.name) for _, o in walk(opened)}
    for item in expected:
        check(item in found, f"{opened.name} lacks {item}")
    escape_closes(application, title, opened.name)

# A message box: Add with empty boxes is refused; the refusal reads as an alert with its words and
# its button, and Escape closes it.
add = find(ledger, pyatspi.ROLE_PUSH_BUTTON, "إضافة")
check(add is not None, "no Add button")
if add is not None:
    press(add)
    box = until(lambda: next((w for w in children(application)
                              if w.getRole() in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG) and w.name == "تنبيه"
                              and w.getState().contains(pyatspi.STATE_SHOWING)), None))
    check(box is not None, "the refusal of Add showed no message box")
    if box is not None:
        texts = [o.name for _, o in walk(box) if o.getRole() == pyatspi.ROLE_LABEL and o.name]
        buttons = [o.name for _, o in walk(box) if o.getRole() == pyatspi.ROLE_PUSH_BUTTON]
        print(f"{box.getRoleName()}: {box.name} {texts} {buttons}")
        check(any(ARABIC.search(t) for t in texts) and "موافق" in buttons, "the message box does not read")
        key("Escape", "^تنبيه$")
        check(until(lambda: not box.getState().contains(pyatspi.STATE_SHOWING)), "Escape did not close the message box")

if failures:
    sys.exit(f"e2e: {len(failures)} accessibility check(s) failed")
print("e2e: the ledger window reads and works through the accessibility bus")

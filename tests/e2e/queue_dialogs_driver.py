#!/usr/bin/python3
"""Drives an ordinary application's print dialog through the accessibility tree to the
"Job Control" group a queue's PPD carries: GTK shows it in its "Advanced" tab, built from
the PPD alone, with no module of ours loaded.

  queue_dialogs_driver.py --toolkit 3|4 --queue QUEUE --capture DIR -- APPLICATION...

GTK 3: Retention "Hold Only" and pass code 1234 typed in the "Retention Pass Code" entry.
GTK 4 (4.8 drops typed custom values, so choices only): Retention "Hold Only" and Filing
"Quick File". GTK 4.8 answers no action of its rows, tabs and drop-downs: they are clicked
with the pointer, and the drop-down's list worked with the keyboard.

Prints "JOB <toolkit> <id>" for the job that reached the capture filter and "FAIL: ..." for
each failed check. Exits 0 when every check held, 1 otherwise, 77 when no accessibility bus
answers.
"""
import subprocess
import sys

import pyatspi

import atspi_dialog as ad
from atspi_dialog import check, wait_for

ADVANCED = "Advanced"
PASS_CODE = "1234"


def labelled_by(page, caption):
    """The control GTK puts beside the label `caption` (the label names it as the widget it
    is for; GTK 3 nests the combo box inside that widget)."""
    def label():
        for lab in ad.descendants(page, lambda a: a.getRole() == pyatspi.ROLE_LABEL and ad.showing(a)):
            if ad.caption_matches(lab.name, caption):
                for relation in lab.getRelationSet():
                    if relation.getRelationType() == pyatspi.RELATION_LABEL_FOR:
                        return relation.getTarget(0)
    target = wait_for(label, 10)
    check(target, f"no control for \"{caption}\" in the {ADVANCED} tab")
    return target


def gtk3_choose(page, caption, choice):
    target = labelled_by(page, caption)
    combo = target if target.getRole() == pyatspi.ROLE_COMBO_BOX else ad.first_of(
        target, pyatspi.ROLE_COMBO_BOX)
    items = ad.menu_items(combo)
    if check(choice in items, f"\"{caption}\" offers {items}, not \"{choice}\""):
        combo.querySelection().selectChild(items.index(choice))
        check(wait_for(lambda: combo.name == choice, 5), f"\"{choice}\" could not be chosen")
    return combo


def gtk3_dialog(session, args):
    d = session.open_dialog()
    d.select(args.queue)
    page = d.open_page(ADVANCED, 20)
    if not check(page, f"no \"{ADVANCED}\" tab for {args.queue}"):
        return d.close("Cancel")
    gtk3_choose(page, "Retention", "Hold Only")
    code = pyatspi.findDescendant(labelled_by(page, "Retention Pass Code"),
                                  lambda a: a.getRole() in ad.EDITABLE)
    if check(code, "the pass code has no entry"):
        ad.type_into(code, PASS_CODE)
    session.printed(d, "gtk3", 1)


def click4(acc):
    """A pointer click in the middle of acc: GTK 4.8 gives extents inside its window, and
    its list rows, tabs and drop-downs answer no action of their own."""
    out = subprocess.run(["xdotool", "search", "--name", "^Print$", "getwindowgeometry", "--shell"],
                         capture_output=True, text=True, timeout=10).stdout
    window = dict(line.split("=", 1) for line in out.split() if "=" in line)
    e = ad.extents(acc)
    ad.click_at(int(window["X"]) + e.x + e.width // 2, int(window["Y"]) + e.y + e.height // 2)


def shown(button):
    """What a drop-down shows chosen."""
    item = ad.first_of(button, pyatspi.ROLE_FILLER)
    return item[0].name if item and item.childCount else None


def gtk4_choose(dialog, caption, choice):
    """Opens the drop-down GTK names after `caption` and picks `choice` from its list."""
    box = wait_for(lambda: pyatspi.findDescendant(
        dialog, lambda a: ad.caption_matches(a.name, caption) and a.getRole() != pyatspi.ROLE_LABEL), 10)
    if not check(box, f"no drop-down for \"{caption}\""):
        return
    button = ad.first_of(box, pyatspi.ROLE_PUSH_BUTTON)
    click4(button)

    def listed():
        for menu in ad.descendants(box, lambda a: a.getRole() == pyatspi.ROLE_LIST):
            names = [[label.name for label in item] for item in menu]
            if [choice] in names:
                return names.index([choice]) + 1
    index = wait_for(listed, 10)
    if not check(index, f"\"{caption}\" does not offer \"{choice}\""):
        return
    # The list takes the keyboard when it opens, its current choice focused.
    keys = ["Home"] + ["Down"] * (index - 1) + ["Return"]
    subprocess.run(["xdotool", "key", "--delay", "150"] + keys, check=True, timeout=10)
    check(wait_for(lambda: shown(button) == choice, 5),
          f"\"{choice}\" could not be chosen for \"{caption}\": it shows {shown(button)!r}")


def gtk4_dialog(session, args):
    d = session.open_dialog(shown=ad.visible)
    rows = ad.first_of(d.acc, pyatspi.ROLE_LIST)

    def row():
        return next((r for r in rows if any(label.name == args.queue for cell in r for label in cell)), None)
    found = wait_for(row, 30)
    if not check(found, f"the dialog never listed {args.queue}"):
        return
    click4(found)
    tabs = d.outer_tabs()
    advanced = wait_for(lambda: next((t for t in tabs if t[0].name == ADVANCED), None), 20)
    if not check(advanced, f"no \"{ADVANCED}\" tab for {args.queue}"):
        return
    click4(advanced)
    gtk4_choose(d.acc, "Retention", "Hold Only")
    gtk4_choose(d.acc, "Filing", "Quick File")
    session.printed(d, "gtk4", 1, click4)


if __name__ == "__main__":
    sys.exit(ad.main(__doc__, {"toolkit": True, "queue": True, "capture": True}, lambda args: ad.run(
        args.app, args.capture, (gtk3_dialog if args.toolkit == "3" else gtk4_dialog,), args)))

#!/usr/bin/python3
"""Drives an ordinary GTK 3 application's print dialog through the accessibility tree, as
a person with a screen reader would: starts the application, presses its "Print…" button,
picks printers in the dialog's list, works the "Job Control" tab by its captions, and
presses Print or Cancel. The application knows nothing of Job Control; whatever the tab
does, it does from the module GTK loaded.

  gtk3_dialog_driver.py --family QUEUE --other QUEUE --capture DIR --folders ADDRESS \
      [--demo 'PROGRAM ARG...'] -- APPLICATION...

APPLICATION has a "Print…" button (tests/e2e/gtk_plain_app.py); --demo names a second
program whose dialog opens at start (gtk3-demo --run printing).

Prints "JOB <label> <id>" for each job that reached the capture filter (the id is the
CUPS job's, the name of its file in DIR) and "FAIL: ..." for each failed check. Exits 0
when every check held, 1 otherwise, 77 when no accessibility bus answers.
"""
import argparse
import os
import socket
import subprocess
import sys
import tempfile
import time

import pyatspi

TAB = "Job Control"
PASS_CODE, FOLDER, LOGIN, PASSWORD = "1234", "Sales", "alice", "s3cret"
USER_NAME, JOB_NAME = "Zoë Q", "report"

failures = 0


def fail(what):
    global failures
    failures += 1
    print(f"FAIL: {what}", flush=True)


def check(ok, what):
    if not ok:
        fail(what)
    return ok


def wait_for(probe, seconds=20.0):
    """The first true answer of probe() within the time, else None. An object that went
    away while it was read answers nothing and is asked again."""
    until = time.monotonic() + seconds
    while True:
        try:
            answer = probe()
        except Exception:  # noqa: BLE001 — D-Bus errors of a changing tree: ask again
            answer = None
        if answer or time.monotonic() > until:
            return answer
        time.sleep(0.1)


def states(acc):
    return acc.getState().getStates()


def showing(acc):
    return pyatspi.STATE_SHOWING in states(acc)


def descendants(root, predicate):
    return pyatspi.findAllDescendants(root, predicate)


def caption_matches(name, caption):
    """An accessible name made from a caption: the caption's words, with or without its
    colon."""
    return (name or "").strip().rstrip(":").strip().casefold() == caption.rstrip(":").casefold()


def extents(acc):
    return acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)


def right_of(anchor, candidates):
    """The candidate nearest to the right of anchor on the same row (a padlock stands right
    of its field, and has no caption of its own)."""
    a = extents(anchor)
    middle = a.y + a.height / 2
    row = [c for c in candidates
           if abs(extents(c).y + extents(c).height / 2 - middle) < a.height
           and extents(c).x >= a.x + a.width - 2]
    return min(row, key=lambda c: extents(c).x, default=None)


EDITABLE = (pyatspi.ROLE_TEXT, pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_ENTRY)


class Tab:
    """The "Job Control" page of a print dialog and its controls, found as assistive
    technologies find them: by their captions."""

    def __init__(self, page):
        self.page = page

    def show(self, inner):
        """Brings the panel's own page `inner` ("Job Handling", ...) to the front."""
        for tabs in descendants(self.page, lambda a: a.getRole() == pyatspi.ROLE_PAGE_TAB_LIST):
            names = [c.name for c in tabs]
            if inner in names:
                tabs.querySelection().selectChild(names.index(inner))
                return wait_for(lambda: showing(tabs[names.index(inner)]), 5)
        return fail(f"the tab has no page \"{inner}\"")

    def _visible(self, roles):
        return descendants(self.page, lambda a: a.getRole() in roles and showing(a))

    def labelled(self, caption, roles):
        """The control a screen reader names after `caption`: its accessible name, or the
        caption's label as what it is labelled by (GTK 3 leaves the name empty then)."""
        def by_caption(acc):
            if caption_matches(acc.name, caption):
                return True
            return any(relation.getRelationType() == pyatspi.RELATION_LABELLED_BY and
                       any(caption_matches(relation.getTarget(i).name, caption)
                           for i in range(relation.getNTargets()))
                       for relation in acc.getRelationSet())
        found = [c for c in self._visible(roles) if by_caption(c)]
        check(found, f"no control is labelled \"{caption}\" for assistive technologies")
        return found[0] if found else None

    def entry(self, caption):
        return self.labelled(caption, EDITABLE)

    def button(self, title, roles=(pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX,
                                   pyatspi.ROLE_RADIO_BUTTON)):
        found = [b for b in self._visible(roles) if caption_matches(b.name, title)]
        if not found:
            fail(f"no button \"{title}\"")
        return found[0] if found else None

    def padlock(self, field):
        return right_of(field, self._visible((pyatspi.ROLE_TOGGLE_BUTTON,)))

    def folder_popup(self):
        return self.labelled("Stored To", (pyatspi.ROLE_COMBO_BOX,))


def menu_items(combo):
    menus = [c for c in combo if c.getRole() == pyatspi.ROLE_MENU]
    return [item.name for item in menus[0]] if menus else []


def text(field):
    t = field.queryText()
    return t.getText(0, t.characterCount)


def type_into(field, typed):
    """Types key by key at the end of the field, as the keyboard does: each character
    passes the field's input filter on its own."""
    editable = field.queryEditableText()
    editable.deleteText(0, field.queryText().characterCount)
    for ch in typed:
        # GTK 3 counts the inserted text's length in bytes.
        editable.insertText(field.queryText().characterCount, ch, len(ch.encode()))


def press(acc):
    acc.queryAction().doAction(0)


def click(acc):
    """A click of the pointer in the middle of acc. An action that waits in a nested main
    loop (a modal alert) must start from an input event: started by an accessibility call,
    it would hold the application's accessibility connection until it returns."""
    e = extents(acc)
    # (No --sync: it waits for a motion that never comes when the pointer is there already.)
    subprocess.run(["xdotool", "mousemove", str(e.x + e.width // 2), str(e.y + e.height // 2),
                    "sleep", "0.2", "click", "1"], check=True, timeout=10)


def is_on(acc):
    s = states(acc)
    return pyatspi.STATE_CHECKED in s or pyatspi.STATE_PRESSED in s


class Dialog:
    def __init__(self, acc):
        self.acc = acc

    def printers(self):
        table = pyatspi.findDescendant(self.acc, lambda a: a.getRole() == pyatspi.ROLE_TABLE)
        return table.queryTable() if table else None

    def select(self, queue):
        """Selects `queue` once GTK has listed it."""
        def row():
            t = self.printers()
            for r in range(t.nRows):
                if any(t.getAccessibleAt(r, c).name == queue for c in range(t.nColumns)):
                    return r + 1
        found = wait_for(row, 30)
        if check(found, f"the dialog never listed {queue}"):
            self.printers().addRowSelection(found - 1)
            check(wait_for(lambda: self.printers().isRowSelected(found - 1), 5),
                  f"{queue} could not be selected")

    def outer_tabs(self):
        return pyatspi.findDescendant(self.acc, lambda a: a.getRole() == pyatspi.ROLE_PAGE_TAB_LIST)

    def tab(self):
        """The "Job Control" page, when the dialog shows its tab (a notebook keeps a hidden
        page, without its tab)."""
        tabs = self.outer_tabs()
        pages = [p for p in tabs if p.name == TAB and showing(p)] if tabs else []
        return pages[0] if pages else None

    def open_tab(self):
        page = wait_for(self.tab, 30)
        if not check(page, f"no \"{TAB}\" tab for the family's queue"):
            return None
        tabs = self.outer_tabs()
        tabs.querySelection().selectChild([p.name for p in tabs].index(TAB))
        wait_for(lambda: showing(page), 5)
        return Tab(page)

    def button(self, name):
        return pyatspi.findDescendant(
            self.acc, lambda a: a.getRole() == pyatspi.ROLE_PUSH_BUTTON and a.name == name)

    def close(self, name):
        press(self.button(name))
        check(wait_for(self.gone, 10), f"the dialog stayed open after {name}")

    def gone(self):
        try:
            s = states(self.acc)
        except Exception:  # noqa: BLE001 — a destroyed dialog answers no more
            return True
        return pyatspi.STATE_DEFUNCT in s or pyatspi.STATE_SHOWING not in s


class Session:
    """The application, its print dialogs, the jobs that reach the filter."""

    def __init__(self, argv, capture):
        self.capture = capture
        self.out = tempfile.NamedTemporaryFile("w+", prefix="gtk3-app-", suffix=".out")
        self.app_process = subprocess.Popen(argv, stdout=self.out)
        self.app = wait_for(self._find_app, 60)  # a loaded machine starts slowly

    def _find_app(self):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == self.app_process.pid:
                return app
        return None

    def open_dialog(self, press_print=True):
        """The application's print dialog, after pressing its "Print…" button (an
        application that opens its dialog by itself is only waited for)."""
        if press_print:
            press(pyatspi.findDescendant(self.app, lambda a: a.getRole() == pyatspi.ROLE_PUSH_BUTTON))
        acc = wait_for(lambda: next((d for d in self._dialogs() if showing(d)), None), 20)
        if not acc:
            raise RuntimeError("the application showed no print dialog")
        return Dialog(acc)

    def ended(self, number, result):
        """Whether the application says its print operation `number` ended with `result`."""
        line = f"DONE {number} {result}"

        def said():
            with open(self.out.name, encoding="utf-8") as out:
                return line in out.read().splitlines()
        return check(wait_for(said, 20),
                     f"the application did not end operation {number} with {result}")

    def _dialogs(self):
        return [c for c in self.app if c is not None and c.getRole() == pyatspi.ROLE_DIALOG]

    def jobs(self):
        return {f.split(".")[0] for f in os.listdir(self.capture) if f.endswith(".options")}

    def new_job(self, before, label, seconds=30):
        job = wait_for(lambda: next(iter(self.jobs() - before), None), seconds)
        if check(job, f"job {label} never reached the filter"):
            print(f"JOB {label} {job}", flush=True)

    def quit(self):
        self.app_process.terminate()
        self.app_process.wait(10)


def preferences():
    """Every file of the user's Job Control preferences with its bytes."""
    root = os.path.join(os.environ.get("XDG_CONFIG_HOME", ""), "jobcontrol")
    files = {}
    for folder, _, names in os.walk(root):
        for name in names:
            with open(os.path.join(folder, name), "rb") as f:
                files[os.path.join(folder, name)] = f.read()
    return files


def fill(tab, address):
    """Every kind of control of the tab: a check box, radio buttons, a pass code with a
    refused letter, padlocks, the folder list from a slow printer, a hidden password."""
    tab.show("Job Handling")
    press(tab.button("Retention"))
    press(tab.button("Hold Only"))
    code = tab.entry("Retention Pass Code")
    type_into(code, PASS_CODE[:2] + "a" + PASS_CODE[2:])
    check(text(code) == PASS_CODE, f"the pass code field took a letter: {text(code)!r}")
    lock = tab.padlock(code)
    if check(lock, "no padlock beside the pass code"):
        press(lock)
        check(wait_for(lambda: is_on(lock), 5), "the pass code's padlock did not close")
    type_into(tab.entry("Printer Address"), address)
    popup = tab.folder_popup()
    click(tab.button("Get Folder Names"))
    # The printer takes its time to answer: meanwhile the dialog answers and shows it busy.
    busy = wait_for(lambda: tab._visible((pyatspi.ROLE_ANIMATION,)), 3)
    check(busy and FOLDER not in menu_items(popup),
          "the dialog did not answer, busy, while the printer was asked for its folders")
    popup = wait_for(lambda: FOLDER in menu_items(popup) and popup, 20)
    if check(popup, f"the folder list from {address} never reached the pop-up"):
        popup.querySelection().selectChild(menu_items(popup).index(FOLDER))
        check(wait_for(lambda: popup.name == FOLDER, 5), f"{FOLDER} could not be chosen")

    tab.show("User Authentication")
    press(tab.button("Login Name and Password"))
    type_into(tab.entry("Login Name"), LOGIN)
    password = tab.entry("Password")
    type_into(password, PASSWORD)
    check(password.getRole() == pyatspi.ROLE_PASSWORD_TEXT, "the password's characters are shown")

    tab.show("Job ID")
    user = tab.entry("User Name")
    fill.user_name = text(user)  # the panel's own start: the account's name
    type_into(user, USER_NAME)
    job_name = tab.entry("Job Name")
    type_into(job_name, JOB_NAME)
    press(tab.padlock(job_name))


def folder_alert(session, tab):
    """A printer that does not answer the folder request: the alert is a modal dialog of
    its own, and the print dialog goes on once it is dismissed."""
    with socket.socket() as closed:  # a loopback port nobody listens on any more
        closed.bind(("127.0.0.1", 0))
        port = closed.getsockname()[1]
    tab.show("Job Handling")
    type_into(tab.entry("Printer Address"), f"127.0.0.1:{port}")
    click(tab.button("Get Folder Names"))

    def alert():
        for window in session.app:
            if window.getRole() in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG) and showing(window) \
                    and descendants(window, lambda a: "Could not retrieve Folder Names" in a.name):
                return window
    shown = wait_for(alert, 20)
    if check(shown, "no alert said the folder names could not be retrieved"):
        check(pyatspi.STATE_MODAL in states(shown), "the alert is not modal")
        press(pyatspi.findDescendant(shown, lambda a: a.getRole() == pyatspi.ROLE_PUSH_BUTTON))
        check(wait_for(lambda: not alert(), 10), "the alert could not be dismissed")


def first_dialog(session, args):
    """The tab follows the printer; filled and printed on the family's queue."""
    d = session.open_dialog()
    d.select(args.family)
    check(wait_for(d.tab, 30), f"no \"{TAB}\" tab for {args.family}")
    d.select(args.other)
    check(wait_for(lambda: not d.tab(), 10), f"the tab stayed for {args.other}, another maker's")
    d.select(args.family)
    tab = d.open_tab()
    if not tab:
        return d.close("Cancel")
    fill(tab, args.folders)
    before = session.jobs()
    d.close("Print")
    session.ended(1, "apply")
    session.new_job(before, "first")


def second_dialog(session, args):
    """A second dialog of the same application: the held entries are back, nothing else of
    the first job is; a printer that does not answer is an alert; then Cancel sends and
    remembers nothing."""
    d = session.open_dialog()
    d.select(args.family)
    tab = d.open_tab()
    if not tab:
        return d.close("Cancel")
    tab.show("Job ID")
    user = tab.entry("User Name")
    job_name = tab.entry("Job Name")
    check(text(user) == fill.user_name,
          f"the user name is {text(user)!r}, not {fill.user_name!r} as in the first dialog")
    check(text(job_name) == JOB_NAME, f"the held job name did not come back: {text(job_name)!r}")
    check(is_on(tab.padlock(job_name)), "the job name's padlock is open again")
    tab.show("User Authentication")
    for caption in ("Login Name", "Password"):
        check(text(tab.entry(caption)) == "", f"the {caption} of the last job came back")
    tab.show("Job Handling")
    code = text(tab.entry("Retention Pass Code"))
    check(code == PASS_CODE, f"the held pass code did not come back: {code!r}")

    folder_alert(session, tab)
    # (The folder button keeps what it fetched, whatever the dialog's end: not Cancel's.)
    remembered = preferences()
    tab.show("Job ID")
    type_into(user, "Mallory")
    press(tab.padlock(user))
    before = session.jobs()
    d.close("Cancel")
    session.ended(2, "cancel")
    check(not wait_for(lambda: session.jobs() - before, 3), "Cancel sent a job")
    check(preferences() == remembered, "Cancel changed what is remembered")


def third_dialog(session, args):
    """Switched away from the family's queue after typing: the job to the other maker's
    queue goes without the tab and without a Job Control key."""
    d = session.open_dialog()
    d.select(args.family)
    tab = d.open_tab()
    if tab:
        tab.show("Job ID")
        type_into(tab.entry("User Name"), "Mallory")
    d.select(args.other)
    check(wait_for(lambda: not d.tab(), 10), f"the tab stayed for {args.other}")
    before = session.jobs()
    d.close("Print")
    session.ended(3, "apply")
    session.new_job(before, "other")


def demo_dialog(session, args):
    """GTK's own demonstration of printing, which opens its dialog at start: the tab comes
    and goes with the printer, and what is typed there reaches the job with what the other
    application's dialog held for this printer."""
    d = session.open_dialog(press_print=False)
    d.select(args.family)
    check(wait_for(d.tab, 30), f"no \"{TAB}\" tab in the demo for {args.family}")
    d.select(args.other)
    check(wait_for(lambda: not d.tab(), 10), f"the demo's tab stayed for {args.other}")
    d.select(args.family)
    tab = d.open_tab()
    if not tab:
        return d.close("Cancel")
    tab.show("Job ID")
    type_into(tab.entry("User Name"), "demo")
    before = session.jobs()
    d.close("Print")
    session.new_job(before, "demo")


def run(argv, capture, steps, args):
    """Runs the steps against the application started from argv."""
    session = Session(argv, capture)
    if not check(session.app, f"{argv[0]} never appeared on the accessibility bus"):
        return session.quit()
    try:
        for step in steps:
            step(session, args)
    except Exception as error:  # noqa: BLE001 — reported as the failure it is
        fail(f"{step.__name__}: {error!r}")
    finally:
        session.quit()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--family", required=True)
    parser.add_argument("--other", required=True)
    parser.add_argument("--capture", required=True)
    parser.add_argument("--folders", required=True)
    parser.add_argument("--demo", help="a program that opens a print dialog at start")
    parser.add_argument("app", nargs="+")
    args = parser.parse_args()
    try:
        pyatspi.Registry.getDesktop(0).childCount
    except Exception as error:  # noqa: BLE001 — whatever the bus says, there is none to use
        print(f"SKIPPED: no accessibility bus ({error})")
        return 77
    run(args.app, args.capture, (first_dialog, second_dialog, third_dialog), args)
    if args.demo:
        run(args.demo.split(), args.capture, (demo_dialog,), args)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

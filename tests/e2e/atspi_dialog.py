"""What the drivers of GTK print dialogs share: an application started and found on the
accessibility bus, its print dialog, the printers listed there, controls found, typed into
and clicked as a person with a screen reader would, and the jobs that reach the capture
filter of tests/e2e/private_cupsd.sh. Each failed check is printed as "FAIL: ..."; `main`
turns them into the driver's exit status."""
import argparse
import os
import subprocess
import tempfile
import time

import pyatspi

failures = 0


def fail(what):
    """Counts a failed check and says what failed."""
    global failures
    failures += 1
    print(f"FAIL: {what}", flush=True)


def check(ok, what):
    """ok, after counting a failure saying `what` when it is false."""
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


def visible(acc):
    """GTK 4.8 marks its windows visible, never showing."""
    return pyatspi.STATE_VISIBLE in states(acc)


def is_on(acc):
    s = states(acc)
    return pyatspi.STATE_CHECKED in s or pyatspi.STATE_PRESSED in s


def descendants(root, predicate):
    return pyatspi.findAllDescendants(root, predicate)


def first_of(root, role):
    """The first descendant of root in `role`."""
    return pyatspi.findDescendant(root, lambda a: a.getRole() == role)


def caption_matches(name, caption):
    """An accessible name made from a caption: the caption's words, with or without its
    colon."""
    return (name or "").strip().rstrip(":").strip().casefold() == caption.rstrip(":").casefold()


def extents(acc):
    return acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)


EDITABLE = (pyatspi.ROLE_TEXT, pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_ENTRY)


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


def click_at(x, y):
    """A click of the pointer at the desktop's point (x, y)."""
    # (No --sync: it waits for a motion that never comes when the pointer is there already.)
    subprocess.run(["xdotool", "mousemove", str(x), str(y), "sleep", "0.2", "click", "1"],
                   check=True, timeout=10)


def click(acc):
    """A click of the pointer in the middle of acc. An action that waits in a nested main
    loop (a modal alert) must start from an input event: started by an accessibility call,
    it would hold the application's accessibility connection until it returns."""
    e = extents(acc)
    click_at(e.x + e.width // 2, e.y + e.height // 2)


class Dialog:
    """A print dialog; `shown` tells whether it is on screen (GTK 4.8: `visible`)."""

    def __init__(self, acc, shown=showing):
        self.acc = acc
        self.shown = shown

    def printers(self):
        table = first_of(self.acc, pyatspi.ROLE_TABLE)
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
        return first_of(self.acc, pyatspi.ROLE_PAGE_TAB_LIST)

    def page(self, name):
        """The dialog's page `name` when the dialog shows its tab (a notebook keeps a hidden
        page, without its tab)."""
        tabs = self.outer_tabs()
        return next((p for p in tabs if p.name == name and showing(p)), None) if tabs else None

    def open_page(self, name, seconds=30):
        """Brings the page `name` to the front once it shows; the page, or None."""
        found = wait_for(lambda: self.page(name), seconds)
        if found:
            tabs = self.outer_tabs()
            tabs.querySelection().selectChild([p.name for p in tabs].index(name))
            wait_for(lambda: showing(found), 5)
        return found

    def button(self, name):
        """The push button `name` (GTK 4.8 names a button after its mnemonic and its text,
        "_Print Print": its label then has the name)."""
        def named(a):
            return a.name == name or any(
                c.getRole() == pyatspi.ROLE_LABEL and c.name == name for c in a)
        return pyatspi.findDescendant(
            self.acc, lambda a: a.getRole() == pyatspi.ROLE_PUSH_BUTTON and named(a))

    def close(self, name, activate=press):
        """Presses the button `name` (or works it by `activate`); the dialog must go."""
        activate(self.button(name))
        check(wait_for(self.gone, 10), f"the dialog stayed open after {name}")

    def gone(self):
        try:
            return pyatspi.STATE_DEFUNCT in states(self.acc) or not self.shown(self.acc)
        except Exception:  # noqa: BLE001 — a destroyed dialog answers no more
            return True


class Session:
    """The application, its print dialogs, the jobs that reach the filter."""

    def __init__(self, argv, capture):
        self.capture = capture
        self.out = tempfile.NamedTemporaryFile("w+", prefix="gtk-app-", suffix=".out")
        self.app_process = subprocess.Popen(argv, stdout=self.out)
        self.app = wait_for(self._find_app, 60)  # a loaded machine starts slowly

    def _find_app(self):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == self.app_process.pid:
                return app
        return None

    def open_dialog(self, press_print=True, shown=showing):
        """The application's print dialog, after pressing its "Print…" button (an
        application that opens its dialog by itself is only waited for)."""
        if press_print:
            press(first_of(self.app, pyatspi.ROLE_PUSH_BUTTON))
        acc = wait_for(lambda: next((d for d in self.dialogs() if shown(d)), None), 20)
        if not acc:
            raise RuntimeError("the application showed no print dialog")
        return Dialog(acc, shown)

    def ended(self, number, result):
        """Whether the application says its print operation `number` ended with `result`."""
        line = f"DONE {number} {result}"

        def said():
            with open(self.out.name, encoding="utf-8") as out:
                return line in out.read().splitlines()
        return check(wait_for(said, 20),
                     f"the application did not end operation {number} with {result}")

    def dialogs(self):
        return [c for c in self.app if c is not None and c.getRole() == pyatspi.ROLE_DIALOG]

    def jobs(self):
        return {f.split(".")[0] for f in os.listdir(self.capture) if f.endswith(".options")}

    def new_job(self, before, label, seconds=30):
        job = wait_for(lambda: next(iter(self.jobs() - before), None), seconds)
        if check(job, f"job {label} never reached the filter"):
            print(f"JOB {label} {job}", flush=True)

    def printed(self, dialog, label, number=None, activate=press):
        """Prints from the dialog: the job `label` must reach the filter, and the
        application's operation `number` (when given) end applied."""
        before = self.jobs()
        dialog.close("Print", activate)
        if number:
            self.ended(number, "apply")
        self.new_job(before, label)

    def quit(self):
        self.app_process.terminate()
        self.app_process.wait(10)


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


def main(doc, options, drive):
    """A driver's life: its options (name: required?) and the application after "--"
    parsed, drive(args) run when an accessibility bus answers. 0 when every check held, 1
    when one failed, 77 without a bus."""
    parser = argparse.ArgumentParser(description=doc.splitlines()[0])
    for name, required in options.items():
        parser.add_argument(f"--{name}", required=required)
    parser.add_argument("app", nargs="+")
    args = parser.parse_args()
    try:
        pyatspi.Registry.getDesktop(0).childCount
    except Exception as error:  # noqa: BLE001 — whatever the bus says, there is none to use
        print(f"SKIPPED: no accessibility bus ({error})")
        return 77
    drive(args)
    return 1 if failures else 0

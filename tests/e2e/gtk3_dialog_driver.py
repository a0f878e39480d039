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
import os
import socket
import sys

import pyatspi

from atspi_dialog import (EDITABLE, caption_matches, check, click, descendants, extents, fail,
                          first_of, is_on, main, menu_items, press, run, showing, states, text,
                          type_into, wait_for)

TAB = "Job Control"
PASS_CODE, FOLDER, LOGIN, PASSWORD = "1234", "Sales", "alice", "s3cret"
USER_NAME, JOB_NAME = "Zoë Q", "report"


def right_of(anchor, candidates):
    """The candidate nearest to the right of anchor on the same row (a padlock stands right
    of its field, and has no caption of its own)."""
    a = extents(anchor)
    middle = a.y + a.height / 2
    row = [c for c in candidates
           if abs(extents(c).y + extents(c).height / 2 - middle) < a.height
           and extents(c).x >= a.x + a.width - 2]
    return min(row, key=lambda c: extents(c).x, default=None)


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
        check(lock.name == "Hold Retention Pass Code",
              f"a screen reader calls the pass code's padlock {lock.name!r}")
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
        press(first_of(shown, pyatspi.ROLE_PUSH_BUTTON))
        check(wait_for(lambda: not alert(), 10), "the alert could not be dismissed")


def open_tab(d):
    page = d.open_page(TAB)
    return Tab(page) if check(page, f"no \"{TAB}\" tab for the family's queue") else None


def tab_follows_printer(d, args, where=""):
    """The tab comes with the family's queue, goes with another maker's and comes back:
    then opened. `where` names the application in what failed."""
    d.select(args.family)
    check(wait_for(lambda: d.page(TAB), 30), f"no \"{TAB}\" tab{where} for {args.family}")
    d.select(args.other)
    check(wait_for(lambda: not d.page(TAB), 10),
          f"the tab stayed{where} for {args.other}, another maker's")
    d.select(args.family)
    return open_tab(d)


def first_dialog(session, args):
    """The tab follows the printer; filled and printed on the family's queue."""
    d = session.open_dialog()
    tab = tab_follows_printer(d, args)
    if not tab:
        return d.close("Cancel")
    fill(tab, args.folders)
    session.printed(d, "first", 1)


def second_dialog(session, args):
    """A second dialog of the same application: the held entries are back, nothing else of
    the first job is; a printer that does not answer is an alert; then Cancel sends and
    remembers nothing."""
    d = session.open_dialog()
    d.select(args.family)
    tab = open_tab(d)
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
    tab = open_tab(d)
    if tab:
        tab.show("Job ID")
        type_into(tab.entry("User Name"), "Mallory")
    d.select(args.other)
    check(wait_for(lambda: not d.page(TAB), 10), f"the tab stayed for {args.other}")
    session.printed(d, "other", 3)


def demo_dialog(session, args):
    """GTK's own demonstration of printing, which opens its dialog at start: the tab comes
    and goes with the printer, and what is typed there reaches the job with what the other
    application's dialog held for this printer."""
    d = session.open_dialog(press_print=False)
    tab = tab_follows_printer(d, args, " in the demo")
    if not tab:
        return d.close("Cancel")
    tab.show("Job ID")
    type_into(tab.entry("User Name"), "demo")
    session.printed(d, "demo")


def drive(args):
    run(args.app, args.capture, (first_dialog, second_dialog, third_dialog), args)
    if args.demo:
        run(args.demo.split(), args.capture, (demo_dialog,), args)


if __name__ == "__main__":
    sys.exit(main(__doc__, {"family": True, "other": True, "capture": True, "folders": True,
                            "demo": False}, drive))

#!/usr/bin/python3
"""An ordinary GTK 3 or GTK 4 application that prints, and knows nothing of Job Control.

Its window has one button, "Print…", that runs a Gtk.PrintOperation with GTK's print dialog:
one page of text to the printer chosen there. Like any application it keeps the print
settings the last dialog returned and starts the next dialog from them; given SETTINGS_FILE
it saves them there (a GKeyFile, GTK's own format) after every dialog and on exit, so a test
can read what the application was handed. It writes "DONE <n> <result>" on standard output
when its n-th print operation ends (result: apply, cancel or error).

Usage: gtk_plain_app.py 3|4 [SETTINGS_FILE]
"""
import signal
import sys

import gi

if len(sys.argv) not in (2, 3) or sys.argv[1] not in ("3", "4"):
    sys.exit(__doc__)
TOOLKIT = sys.argv[1]
gi.require_version("Gtk", f"{TOOLKIT}.0")
from gi.repository import GLib, Gtk  # noqa: E402

RESULTS = {
    Gtk.PrintOperationResult.APPLY: "apply",
    Gtk.PrintOperationResult.CANCEL: "cancel",
    Gtk.PrintOperationResult.ERROR: "error",
    Gtk.PrintOperationResult.IN_PROGRESS: "in-progress",
}


class PlainApp:
    def __init__(self, settings_file, loop):
        self.settings_file = settings_file
        self.loop = loop
        self.settings = None
        self.operations = 0
        self.window = Gtk.Window(title=f"Plain GTK {TOOLKIT} application")
        self.window.connect("destroy", lambda *_: self.quit())
        button = Gtk.Button(label="Print…")
        button.connect("clicked", lambda *_: self.print_page())
        self.window.set_default_size(240, 80)
        if TOOLKIT == "3":
            self.window.add(button)
            self.window.show_all()
        else:
            self.window.set_child(button)
            self.window.present()

    def print_page(self):
        self.operations += 1
        number = self.operations
        op = Gtk.PrintOperation()
        op.set_job_name(f"plain page {number}")
        op.set_n_pages(1)
        # Asynchronous, as an application that keeps its window alive does: the dialog is
        # the only thing that waits.
        op.set_allow_async(True)
        if self.settings is not None:
            op.set_print_settings(self.settings)
        op.connect("draw-page", self.draw_page)
        op.connect("done", self.done, number)
        try:
            result = op.run(Gtk.PrintOperationAction.PRINT_DIALOG, self.window)
        except GLib.Error as error:
            print(f"DONE {number} error {error.message}", flush=True)
            return
        if result != Gtk.PrintOperationResult.IN_PROGRESS:
            self.done(op, result, number)

    @staticmethod
    def draw_page(op, context, page):
        cr = context.get_cairo_context()
        cr.set_source_rgb(0, 0, 0)
        cr.move_to(72, 72)
        cr.set_font_size(14)
        cr.show_text(f"A page from an ordinary GTK {TOOLKIT} application.")

    def done(self, op, result, number):
        if result == Gtk.PrintOperationResult.APPLY:
            self.settings = op.get_print_settings()
        self.save()
        print(f"DONE {number} {RESULTS.get(result, str(result))}", flush=True)

    def save(self):
        if self.settings_file:
            (self.settings or Gtk.PrintSettings()).to_file(self.settings_file)

    def quit(self):
        self.save()
        self.loop.quit()


def main():
    loop = GLib.MainLoop()
    app = PlainApp(sys.argv[2] if len(sys.argv) == 3 else None, loop)
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGTERM, lambda: app.quit() or False)
    loop.run()


if __name__ == "__main__":
    main()

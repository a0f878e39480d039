#!/usr/bin/python3
"""An ordinary GTK 4 application that prints, and knows nothing of Job Control.

Its window has one button, "Print…", that runs a Gtk.PrintOperation with GTK's print dialog:
one page of text to the printer chosen there. It writes "DONE <n> <result>" on standard
output when its n-th print operation ends (result: apply, cancel or error).

Usage: gtk4_plain_app.py
"""
import sys

import gi

gi.require_version("Gtk", "4.0")
from gi.repository import GLib, Gtk  # noqa: E402

RESULTS = {
    Gtk.PrintOperationResult.APPLY: "apply",
    Gtk.PrintOperationResult.CANCEL: "cancel",
    Gtk.PrintOperationResult.ERROR: "error",
}


class PlainApp(Gtk.Application):
    operations = 0

    def do_activate(self):
        self.window = Gtk.ApplicationWindow(application=self, title="Plain GTK 4 application")
        button = Gtk.Button(label="Print…")
        button.connect("clicked", lambda *_: self.print_page())
        self.window.set_child(button)
        self.window.set_default_size(240, 80)
        self.window.present()

    def print_page(self):
        self.operations += 1
        number = self.operations
        op = Gtk.PrintOperation()
        op.set_job_name(f"plain page {number}")
        op.set_n_pages(1)
        op.set_allow_async(True)
        op.connect("draw-page", self.draw_page)
        op.connect("done", lambda op, result: self.done(result, number))
        try:
            result = op.run(Gtk.PrintOperationAction.PRINT_DIALOG, self.window)
        except GLib.Error as error:
            print(f"DONE {number} error {error.message}", flush=True)
            return
        if result != Gtk.PrintOperationResult.IN_PROGRESS:
            self.done(result, number)

    @staticmethod
    def draw_page(op, context, page):
        cr = context.get_cairo_context()
        cr.set_source_rgb(0, 0, 0)
        cr.move_to(72, 72)
        cr.set_font_size(14)
        cr.show_text("A page from an ordinary GTK 4 application.")

    @staticmethod
    def done(result, number):
        print(f"DONE {number} {RESULTS.get(result, str(result))}", flush=True)


def main():
    app = PlainApp(application_id="org.example.PlainPrint4")
    # Stay alive between dialogs; the test ends the process.
    app.hold()
    sys.exit(app.run([]))


if __name__ == "__main__":
    main()

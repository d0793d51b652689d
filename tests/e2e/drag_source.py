"""A small GTK window that drags the files named (or addressed) on its command line, as a
file manager (GTK, like most on Linux desktops) does once a button is pressed
on it and the pointer moves. Prints the outcome of each drag."""

import sys

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("Gdk", "3.0")
from gi.repository import Gdk, GLib, Gtk  # noqa: E402

# A file:// address is taken as it is: GTK's own start refuses an argument that is not
# UTF-8, so a name that is not is given by its address.
URIS = [path if path.startswith("file://") else GLib.filename_to_uri(path, None) for path in sys.argv[1:]]


def main():
    window = Gtk.Window(title="drag source")
    window.set_default_size(200, 120)
    window.move(0, 0)
    box = Gtk.EventBox()
    box.add(Gtk.Label(label="drag source"))
    box.drag_source_set(Gdk.ModifierType.BUTTON1_MASK, [], Gdk.DragAction.COPY)
    box.drag_source_add_uri_targets()
    box.connect("drag-data-get", lambda _w, _c, data, _i, _t: data.set_uris(URIS))
    box.connect("drag-end", lambda *_: print("drag ended", flush=True))
    window.add(box)
    window.connect("destroy", Gtk.main_quit)
    window.show_all()
    Gtk.main()


if __name__ == "__main__":
    main()

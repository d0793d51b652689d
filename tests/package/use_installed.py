"""Uses the installed program as its user would, on a display of the user's own:
starts it the way a file manager opens a recording through the desktop entry,
waits for the player to have the recording, and changes F9's step in the settings
dialog. Run as the ordinary user under `dbus-run-session`, beside a copy of the
end-to-end harness, by package_test.py:

    use_installed.py RECORDING SHIPPED_SETTINGS_FILE
"""

import os
import shlex
import subprocess
import sys
import tempfile

from tavrin_e2e import RECORDING_LOADED, Program, VirtualDisplay, WindowManager, check, wait_for, write_wav

DESKTOP_ENTRY = "/usr/share/applications/tavrin.desktop"
INSTALLED_SETTINGS = "/usr/lib/tavrin/Time.ini"
STEP_BACK_BOX = "后退秒数（F9）"
SETTINGS_SAVED = "更改时间成功!"


def desktop_entry_command(path):
    """The entry's Exec line as argv, with %f (one local file) left in place."""
    with open(path, encoding="utf-8") as entry:
        for line in entry:
            if line.startswith("Exec="):
                return shlex.split(line[len("Exec="):].strip())
    raise AssertionError(f"no Exec line in {path}")


def open_with_entry(path, recording):
    """The command a file manager runs to open `recording` with the entry."""
    command = desktop_entry_command(path)
    check(command.count("%f") == 1, f"the Exec line takes one file as %f: {command}")
    return [recording if word == "%f" else word for word in command]


class InstalledProgram(Program):
    """The installed program, started by `command` from the user's home with the
    user's own folders: nothing is copied, so it finds the installed settings
    beside its executable, in a folder the user cannot write."""

    def __init__(self, command, ipc_path):
        self.folder = tempfile.mkdtemp(prefix="tavrin-package-")
        self.ipc_path = ipc_path
        environment = dict(os.environ)
        environment.update({
            "QT_QPA_PLATFORM": "xcb",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "TAVRIN_AUDIO_OUTPUT": "null",
            "TAVRIN_MPV_IPC": ipc_path,
        })
        self.log = open(os.path.join(self.folder, "program.log"), "w")
        self.process = subprocess.Popen(command, cwd=os.path.expanduser("~"), env=environment,
                                        stdout=self.log, stderr=subprocess.STDOUT)
        self._application = None


def read(path):
    with open(path, "rb") as source:
        return source.read()


def main():
    recording, shipped_file = sys.argv[1:3]
    shipped = read(shipped_file)
    user_settings = os.path.expanduser("~/.config/tavrin/Time.ini")
    check(not os.path.exists(user_settings), "a new user has no settings of their own yet")
    write_wav(recording, 20)
    ipc_path = os.path.join(os.environ["XDG_RUNTIME_DIR"], "tavrin-mpv.sock")
    command = open_with_entry(DESKTOP_ENTRY, recording)
    with VirtualDisplay(), WindowManager(), InstalledProgram(command, ipc_path) as program:
        program.answer_message(RECORDING_LOADED)
        wait_for(lambda: program.player_property("path") == recording, "the player to open the recording")
        check(read(user_settings) == shipped, "the first start copies the installed settings for the user")

        program.activate(program.main_window())
        program.open_menu_item("  设置  ")
        program.open_menu_item("前进后退步进时长")
        dialog = program.window("时长设置")
        box = program.find(name=STEP_BACK_BOX, role="text")
        wait_for(lambda: program.text(box) == "3", "the dialog to show the installed F9 step")
        program.key("ctrl+a")
        program.type("7")
        program.key("Tab")
        program.key("space")  # presses 保存设置
        program.answer_message(SETTINGS_SAVED)
        expected = shipped.replace(b"shijian2=3", b"shijian2=7")
        check(expected != shipped, "the shipped settings hold F9's step of 3 seconds")
        wait_for(lambda: read(user_settings) == expected, lambda: f"the new step in {user_settings}")
        wait_for(lambda: program.window_gone(dialog), "the dialog to close")
        check(read(INSTALLED_SETTINGS) == shipped, "the installed settings stay as shipped")
    print("the installed program opened the recording and kept the new step in the user's settings")


if __name__ == "__main__":
    main()

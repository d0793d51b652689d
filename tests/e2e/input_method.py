"""A real fcitx5 for end-to-end tests, on the test's own display and session
bus, with a profile of the test's own: the US keyboard first, Pinyin second, as
a Chinese user's desktop has it."""

import os
import shutil
import subprocess
import tempfile

from tavrin_e2e import HelperProcess, wait_for

PROFILE = """[Groups/0]
Name=Default
Default Layout=us
DefaultIM=keyboard-us

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=pinyin
Layout=

[GroupOrder]
0=Default
"""

# What a program needs to type through it.
PROGRAM_ENVIRONMENT = {"QT_IM_MODULE": "fcitx"}


def available():
    return shutil.which("fcitx5") is not None and shutil.which("fcitx5-remote") is not None


class InputMethod(HelperProcess):
    def __enter__(self):
        self.folder = tempfile.mkdtemp(prefix="tavrin-fcitx5-")
        os.makedirs(os.path.join(self.folder, "config", "fcitx5"))
        with open(os.path.join(self.folder, "config", "fcitx5", "profile"), "w") as out:
            out.write(PROFILE)
        runtime = os.path.join(self.folder, "runtime")
        os.makedirs(runtime, mode=0o700)
        environment = {**os.environ, "XDG_CONFIG_HOME": os.path.join(self.folder, "config"),
                       "XDG_DATA_HOME": os.path.join(self.folder, "data"), "XDG_RUNTIME_DIR": runtime}
        # Only what typing needs: no panel, no Wayland, no clipboard watcher.
        self._start(["fcitx5", "--disable=wayland,waylandim,classicui,clipboard,notificationitem,kimpanel"],
                    env=environment)
        wait_for(self._answering, "fcitx5 on the session bus")
        return self

    def _answering(self):
        """Whether fcitx5 holds its name on the bus. Asked of the bus itself:
        a call to fcitx5 before then would have the bus start another one,
        without the test's profile."""
        if self.process.poll() is not None:
            self._fail("fcitx5 ended at start")
        owner = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                                "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                                "string:org.fcitx.Fcitx5"], capture_output=True, text=True)
        return "boolean true" in owner.stdout

    def __exit__(self, *exc):
        super().__exit__(*exc)
        shutil.rmtree(self.folder, ignore_errors=True)

    @staticmethod
    def state():
        """fcitx5's state and input method for the input that has its focus:
        ("2", "pinyin") when Chinese is typed, ("1", "keyboard-us") when letters are."""
        state = subprocess.run(["fcitx5-remote"], capture_output=True, text=True).stdout.strip()
        name = subprocess.run(["fcitx5-remote", "-n"], capture_output=True, text=True).stdout.strip()
        return state, name

    @staticmethod
    def deactivate():
        subprocess.run(["fcitx5-remote", "-c"], check=True)

    @staticmethod
    def activate():
        """As the user's switch key does."""
        subprocess.run(["fcitx5-remote", "-o"], check=True)

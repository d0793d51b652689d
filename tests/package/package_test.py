"""The Debian package as a user gets it: made with cpack from this build, checked
with lintian, installed system-wide with apt, used by an ordinary user made for the
test (the command line, the default application for MP3, the program itself on a
display of the user's own), and purged, leaving nothing of it under /usr.

Installs and removes system packages and users, so it runs only as root (exit 77,
skipped, otherwise):

    package_test.py BUILD_FOLDER OUTPUT_FOLDER APPSTREAM_ID VERSION
"""

import glob
import gzip
import json
import os
import pwd
import shutil
import signal
import stat
import struct
import subprocess
import sys
import tempfile
import time
import traceback

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))
HARNESS = os.path.join(SOURCE, "tests", "e2e", "tavrin_e2e.py")
SHIPPED_SETTINGS = os.path.join(SOURCE, "data", "Time.ini")
SKIPPED = 77
COMMAND_SECONDS = 300
ENTRY = "tavrin.desktop"
ICON_SIZES = (16, 32, 48, 64, 128, 256)
# The types a file manager offers to open with the program, by what users call them.
MEDIA_TYPES = {
    "MP3": ["audio/mpeg"],
    "WAV": ["audio/x-wav", "audio/wav"],
    "M4A/AAC": ["audio/mp4", "audio/aac", "audio/x-m4a"],
    "AMR": ["audio/amr"],
    "WMA": ["audio/x-ms-wma"],
    "OGG/Opus": ["audio/ogg", "audio/x-vorbis+ogg", "audio/x-opus+ogg", "audio/opus"],
    "FLAC": ["audio/flac", "audio/x-flac"],
    "MP4": ["video/mp4"],
    "MKV": ["video/x-matroska"],
    "WebM": ["video/webm", "audio/webm"],
    "AVI": ["video/x-msvideo"],
    "MOV": ["video/quicktime"],
    "3GP": ["video/3gpp", "audio/3gpp"],
}
# What the program cannot run without, though dpkg-shlibdeps sees none of it.
RUN_TIME_DEPENDENCIES = ["libmpv2", "fonts-noto-cjk", "qt6-qpa-plugins"]
MIME_CACHE = "/usr/share/applications/mimeinfo.cache"


def expected_files(appstream_id):
    """Path in the package -> what it must be: 'program', 'file', or ('link', target)."""
    files = {
        "/usr/bin/tavrin": ("link", "../lib/tavrin/tavrin"),
        "/usr/lib/tavrin/tavrin": "program",
        "/usr/lib/tavrin/Time.ini": "file",
        f"/usr/share/applications/{ENTRY}": "file",
        f"/usr/share/metainfo/{appstream_id}.metainfo.xml": "file",
        "/usr/share/icons/hicolor/scalable/apps/tavrin.svg": "file",
        "/usr/share/man/man1/tavrin.1.gz": "file",
        "/usr/share/doc/tavrin/copyright": "file",
        "/usr/share/doc/tavrin/changelog.gz": "file",
        "/usr/lib/udev/rules.d/70-tavrin-pedals.rules": "file",
    }
    for size in ICON_SIZES:
        files[f"/usr/share/icons/hicolor/{size}x{size}/apps/tavrin.png"] = "file"
    return files


class Failure(AssertionError):
    pass


class StepFailed(Exception):
    """A step failed and was told."""


def check(condition, message):
    if not condition:
        raise Failure(message)


def run(command, user=None, env=None, cwd=None, expect=0):
    """Runs a command (as `user`, a pwd entry, when given) and returns its result;
    an exit code other than `expect` fails the test with the command's output."""
    options = {}
    if user is not None:
        options = {"user": user.pw_uid, "group": user.pw_gid, "extra_groups": [], "cwd": cwd or user.pw_dir}
    result = subprocess.run(command, capture_output=True, text=True, env=env, timeout=COMMAND_SECONDS,
                            **({"cwd": cwd} if user is None else options))
    if expect is not None and result.returncode != expect:
        raise Failure(f"{' '.join(command)} ended with {result.returncode}, not {expect}:\n"
                      f"{result.stdout}{result.stderr}")
    return result


class Steps:
    """Runs the test's steps in order, telling each one's outcome and time; a
    failed step ends the steps that depend on it, not the clean-up."""

    def __init__(self):
        self.passed = 0
        self.failed = 0

    def __call__(self, name, action, *args):
        started = time.monotonic()
        try:
            value = action(*args)
        except Exception as error:  # noqa: BLE001 - told, counted, and the run stops
            self.failed += 1
            print(f"FAIL {name}: {error}", flush=True)
            if not isinstance(error, Failure):
                traceback.print_exc()
            raise StepFailed() from error
        self.passed += 1
        print(f"PASS {name} ({time.monotonic() - started:.1f} s)", flush=True)
        return value


# Making the package ---------------------------------------------------------------


def make_package(build, output):
    shutil.rmtree(output, ignore_errors=True)
    os.makedirs(output)
    run(["cpack", "--config", os.path.join(build, "CPackConfig.cmake"), "-G", "DEB", "-B", output])
    packages = glob.glob(os.path.join(output, "tavrin_*.deb"))
    check(len(packages) == 1, f"one package made, not {packages}")
    return packages[0]


def check_control(deb, version):
    def field(name):
        return run(["dpkg-deb", "--field", deb, name]).stdout.strip()

    check(field("Package") == "tavrin", f"package name {field('Package')!r}")
    check(field("Version") == version, f"version {field('Version')!r}, not {version}")
    depends = [part.split()[0] for part in field("Depends").split(",")]
    for package in RUN_TIME_DEPENDENCIES + ["libqt6widgets6", "libc6"]:
        check(package in depends, f"Depends has no {package}: {field('Depends')}")
    # Opened at run time for the waveform, so named by the build, with their major version.
    for library in ("libavformat", "libavcodec", "libavutil"):
        check(any(package[len(library):].isdigit() for package in depends if package.startswith(library)),
              f"Depends has no {library}: {field('Depends')}")
    for name in ("Maintainer", "Section", "Homepage", "Description"):
        check(field(name), f"no {name} field")


def check_contents(deb, appstream_id):
    """Every entry root's, with the modes Debian expects, and every expected file there."""
    listing = run(["dpkg-deb", "--contents", deb]).stdout.splitlines()
    entries = {}
    for line in listing:
        mode, owner, _size, _date, _time, path, *rest = line.split()
        path = path.lstrip(".").rstrip("/") or "/"
        check(owner == "root/root", f"{path} belongs to {owner}")
        entries[path] = (mode, rest[1] if rest[:1] == ["->"] else None)
    for path, (mode, _target) in entries.items():
        if mode.startswith("d"):
            check(mode == "drwxr-xr-x", f"folder {path} has mode {mode}")
    for path, kind in expected_files(appstream_id).items():
        check(path in entries, f"{path} is not in the package")
        mode, target = entries[path]
        if kind == "program":
            check(mode == "-rwxr-xr-x", f"{path} has mode {mode}")
        elif kind == "file":
            check(mode == "-rw-r--r--", f"{path} has mode {mode}")
        else:
            check(mode.startswith("l") and target == kind[1], f"{path} is {mode} -> {target}, not a link to {kind[1]}")


def lintian(deb):
    # In a folder of its own: lintian leaves temporary files behind.
    with tempfile.TemporaryDirectory(prefix="lintian-") as scratch:
        result = run(["lintian", "--fail-on", "error", deb], env=dict(os.environ, TMPDIR=scratch), expect=None)
    errors = [line for line in result.stdout.splitlines() if line.startswith("E:")]
    check(result.returncode == 0 and not errors, f"lintian found errors:\n{result.stdout}{result.stderr}")
    return result.stdout


# Installed --------------------------------------------------------------------------


def installed():
    status = run(["dpkg-query", "-W", "-f=${db:Status-Status}", "tavrin"], expect=None)
    return status.returncode == 0 and status.stdout.strip() == "installed"


def apt_get(*arguments):
    environment = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    # Another apt run on the machine (an update, a set-up script) is waited for.
    run(["apt-get", "-y", "-q", "-o", "DPkg::Lock::Timeout=120", *arguments], env=environment)


def install(deb):
    check(not installed(), "tavrin is installed already; remove it (apt-get purge tavrin) to run this test")
    apt_get("install", deb)
    check(installed(), "dpkg does not list tavrin as installed")
    paths = run(["dpkg", "-L", "tavrin"]).stdout.splitlines()
    # What each path was, to tell afterwards what must be gone.
    return {path: stat.S_ISDIR(os.lstat(path).st_mode) for path in paths if path.startswith("/usr")}


def png_size(path):
    with open(path, "rb") as image:
        header = image.read(24)
    check(header[:8] == b"\x89PNG\r\n\x1a\n", f"{path} is not a PNG")
    return struct.unpack(">II", header[16:24])


def check_installed_files(appstream_id):
    entry = f"/usr/share/applications/{ENTRY}"
    run(["desktop-file-validate", entry])
    run(["appstreamcli", "validate", "--no-net", f"/usr/share/metainfo/{appstream_id}.metainfo.xml"])
    for size in ICON_SIZES:
        path = f"/usr/share/icons/hicolor/{size}x{size}/apps/tavrin.png"
        check(png_size(path) == (size, size), f"{path} is {png_size(path)}, not {size} x {size}")
    with gzip.open("/usr/share/man/man1/tavrin.1.gz", "rt", encoding="utf-8") as page:
        manual = page.read()
    check(manual.startswith(".TH TAVRIN 1 "), "the manual page is tavrin(1)")
    for word in ("\\-\\-help", "\\-\\-version", "Time.ini", "XDG_STATE_HOME"):
        check(word in manual, f"the manual page does not mention {word}")
    with open(SHIPPED_SETTINGS, "rb") as shipped, open("/usr/lib/tavrin/Time.ini", "rb") as settings:
        check(settings.read() == shipped.read(), "the installed Time.ini is the shipped one")


def check_installed_draft_helper():
    """The installed helper opens the installed speech engine and finds speech in a spoken phrase."""
    with tempfile.TemporaryDirectory(prefix="draft-") as scratch:
        spoken = os.path.join(scratch, "phrase.wav")
        run(["espeak-ng", "-v", "cmn", "-w", spoken, "今天我们讨论一下项目的进度。"])
        result = run(["/usr/lib/tavrin/tavrin-draft", "--engine", "/usr/lib/tavrin/speech-engine", spoken])
    events = [json.loads(line)["event"] for line in result.stdout.splitlines()]
    check(events[:1] == ["started"] and events[-1:] == ["finished"] and "utterance" in events,
          f"the installed draft helper told {events}")


def entry_media_types():
    with open(f"/usr/share/applications/{ENTRY}", encoding="utf-8") as entry:
        for line in entry:
            if line.startswith("MimeType="):
                return set(filter(None, line.strip()[len("MimeType="):].split(";")))
    return set()


def types_the_cache_gives_the_entry():
    """The media types the desktop database (rebuilt by dpkg's trigger) opens with the entry."""
    types = set()
    if os.path.exists(MIME_CACHE):
        with open(MIME_CACHE, encoding="utf-8") as cache:
            for line in cache:
                kind, _, entries = line.strip().partition("=")
                if ENTRY in entries.split(";"):
                    types.add(kind)
    return types


def check_media_types():
    declared = entry_media_types()
    known = types_the_cache_gives_the_entry()
    for name, types in MEDIA_TYPES.items():
        for kind in types:
            check(kind in declared, f"the desktop entry does not open {name} ({kind})")
            check(kind in known, f"the desktop database does not offer the entry for {name} ({kind})")


# The ordinary user --------------------------------------------------------------------


def make_user():
    for number in range(100):
        name = f"tavrinpkg{os.getpid() % 100000}x{number}"
        try:
            pwd.getpwnam(name)
        except KeyError:
            run(["useradd", "--create-home", "--shell", "/bin/sh", "--comment", "tavrin package test", name])
            return pwd.getpwnam(name)
    raise Failure("no free user name")


def user_environment(user, runtime):
    return {
        "HOME": user.pw_dir,
        "USER": user.pw_name,
        "LOGNAME": user.pw_name,
        "SHELL": "/bin/sh",
        "PATH": "/usr/local/bin:/usr/bin:/bin",
        "LANG": "C.UTF-8",
        "LC_ALL": "C.UTF-8",
        "XDG_RUNTIME_DIR": runtime,
        "PYTHONDONTWRITEBYTECODE": "1",
    }


def runtime_folder(user):
    folder = tempfile.mkdtemp(prefix=f"runtime-{user.pw_name}-")
    os.chown(folder, user.pw_uid, user.pw_gid)
    return folder


def check_command_line(user, env, version):
    # No display: both are answered on the terminal before any window.
    answer = run(["tavrin", "--version"], user=user, env=env).stdout
    check(answer == f"tavrin {version}\n", f"tavrin --version says {answer!r}")
    help_text = run(["tavrin", "--help"], user=user, env=env).stdout
    for part in ("Usage: tavrin [OPTION] [RECORDING] [TRANSCRIPT]", "--help", "--version"):
        check(part in help_text, f"tavrin --help does not tell {part!r}:\n{help_text}")


def check_default_application(user, env):
    run(["xdg-mime", "default", ENTRY, "audio/mpeg"], user=user, env=env)
    answer = run(["xdg-mime", "query", "default", "audio/mpeg"], user=user, env=env).stdout.strip()
    check(answer == ENTRY, f"xdg-mime names {answer!r} for MP3, not {ENTRY}")


def use_installed_program(user, env):
    """The program itself, driven as the user by use_installed.py on a display the
    user starts (so it accepts the user's windows) with its own session bus."""
    folder = os.path.join(user.pw_dir, "package-test")
    os.makedirs(folder)
    for source in (HARNESS, os.path.join(HERE, "use_installed.py"), SHIPPED_SETTINGS):
        shutil.copy(source, folder)
    recording = os.path.join(user.pw_dir, "recordings", "interview.wav")
    os.makedirs(os.path.dirname(recording))
    for path in (folder, os.path.dirname(recording)):
        os.chown(path, user.pw_uid, user.pw_gid)
    # Xvfb as an ordinary user needs the sockets' folder in place, as a desktop has it.
    os.makedirs("/tmp/.X11-unix", exist_ok=True)
    os.chmod("/tmp/.X11-unix", 0o1777)
    command = ["dbus-run-session", "--", "/usr/bin/python3", os.path.join(folder, "use_installed.py"), recording,
               os.path.join(folder, "Time.ini")]
    driver = subprocess.Popen(command, env=env, cwd=user.pw_dir, user=user.pw_uid, group=user.pw_gid,
                              extra_groups=[], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                              start_new_session=True)
    try:
        output, _ = driver.communicate(timeout=COMMAND_SECONDS)
    except subprocess.TimeoutExpired:
        os.killpg(driver.pid, signal.SIGKILL)
        output, _ = driver.communicate()
        raise Failure(f"the installed program's run did not end:\n{output}")
    check(driver.returncode == 0, f"the installed program's run failed:\n{output}")
    print(output.strip(), flush=True)


def user_settings(user):
    with open(os.path.join(user.pw_dir, ".config", "tavrin", "Time.ini"), "rb") as settings:
        return settings.read()


def check_user_settings(user):
    with open(SHIPPED_SETTINGS, "rb") as shipped:
        expected = shipped.read().replace(b"shijian2=3", b"shijian2=7")
    check(user_settings(user) == expected, f"the user's Time.ini holds {user_settings(user)!r}")


def processes_of(uid):
    pids = []
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                if os.stat(f"/proc/{entry}").st_uid == uid:
                    pids.append(int(entry))
            except FileNotFoundError:
                continue
    return pids


def remove_user(user):
    """Ends what the test started as the user (the session bus's helpers may
    outlive it for a moment), then removes the user and the home folder."""
    deadline = time.monotonic() + 30
    while processes_of(user.pw_uid) and time.monotonic() < deadline:
        time.sleep(0.2)
    for pid in processes_of(user.pw_uid):
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
    run(["userdel", "--remove", user.pw_name], expect=None)


# Removed -----------------------------------------------------------------------------


def purge():
    apt_get("purge", "tavrin")
    check(not installed(), "dpkg still lists tavrin as installed")


def check_nothing_left(paths):
    left = [path for path, folder in paths.items() if not folder and os.path.lexists(path)]
    check(not left, f"left after purge: {left}")
    # A folder may stay only where another package keeps files too.
    folders = [path for path, folder in paths.items() if folder and os.path.lexists(path)]
    owned = run(["dpkg-query", "-S", *folders], expect=None).stdout if folders else ""
    owned_folders = {line.rpartition(": ")[2] for line in owned.splitlines()}
    unowned = [path for path in folders if path not in owned_folders]
    check(not unowned, f"folders of the package left after purge: {unowned}")
    check(not types_the_cache_gives_the_entry(), "the desktop database still offers the removed entry")


def main():
    if os.geteuid() != 0:
        print("SKIP: the package test installs and removes a system package and a user, so it runs only as root")
        return SKIPPED
    build, output, appstream_id, version = sys.argv[1:5]
    steps = Steps()
    started = time.monotonic()
    user = runtime = None
    try:
        deb = steps("make the package with cpack", make_package, build, output)
        steps("control fields and dependencies", check_control, deb, version)
        steps("contents owned by root with Debian's modes", check_contents, deb, appstream_id)
        print(steps("lintian shows no error", lintian, deb) or "lintian: no tags", flush=True)
        paths = steps("install with apt-get", install, deb)
        steps("installed files valid", check_installed_files, appstream_id)
        steps("the installed draft helper runs the installed speech engine", check_installed_draft_helper)
        steps("the desktop entry opens the common media types", check_media_types)
        user = steps("make an ordinary user", make_user)
        runtime = runtime_folder(user)
        env = user_environment(user, runtime)
        steps("tavrin --version and --help as the user", check_command_line, user, env, version)
        steps("xdg-mime: the entry as the user's default for MP3", check_default_application, user, env)
        steps("the installed program opens a recording and keeps a setting", use_installed_program, user, env)
        steps("purge with apt-get", purge)
        steps("nothing of the package left under /usr", check_nothing_left, paths)
        steps("the user's settings stay", check_user_settings, user)
    except StepFailed:
        pass
    except Exception:  # noqa: BLE001 - outside any step: told here
        steps.failed += 1
        traceback.print_exc()
    finally:
        if installed():
            purge()
        if user is not None:
            remove_user(user)
        if runtime is not None:
            shutil.rmtree(runtime, ignore_errors=True)
    print(f"package test: {time.monotonic() - started:.0f} s")
    print(f"{steps.passed} passed, {steps.failed} failed")
    return 1 if steps.failed else 0


if __name__ == "__main__":
    sys.exit(main())

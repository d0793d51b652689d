"""`tavrin` on the command line as users type it, with no display: the lines it
refuses and how, links planted where an export writes, the files it reads, what it
says of the text it read, and the attributes an export keeps.
Usage: command_line_program_test.py <tavrin binary>"""

import os
import shutil
import subprocess
import sys
import tempfile
import urllib.parse

import docx

BINARY = sys.argv[1]
# Time marks and a speaker, in GBK with CR LF, as the window saves a transcript.
TRANSCRIPT = "-00:00:01- 张三：你好\r\n-00:00:03-再见".encode("gbk")
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL", message, flush=True)


def run(folder, *arguments, timeout=60):
    """Runs the program with no display at all; the result, or None when it hung."""
    environment = {key: value for key, value in os.environ.items()
                   if key not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    try:
        done = subprocess.run([BINARY, *arguments], capture_output=True, env=environment, cwd=folder,
                              timeout=timeout)
    except subprocess.TimeoutExpired:
        return None
    done.stderr = done.stderr.decode("utf-8", "replace")
    return done


def refused(done, status, words, what):
    check(done is not None, f"{what}: the program hung")
    if done is not None:
        check(done.returncode == status and all(word in done.stderr for word in words),
              f"{what}: exit {done.returncode}, {done.stderr!r}")


def write(path, data):
    with open(path, "wb") as out:
        out.write(data)
    return path


def read(path):
    with open(path, "rb") as there:
        return there.read()


def test_refused_lines_say_why_without_a_display(folder):
    write(os.path.join(folder, "a.txt"), TRANSCRIPT)
    for arguments, problem in ((["--export", "xyz", "a.txt"], "不认识的导出格式"),
                               (["--export", "srt"], "--export 需要格式和文稿文件"),
                               (["--loud"], "未知的选项"),
                               (["-platform", "offscreen", "--loud"], "未知的选项"),
                               (["a.wav", "b.txt", "c"], "最多只能给出两个文件")):
        refused(run(folder, *arguments), 2, [problem, "用法"], " ".join(arguments))


def test_links_planted_where_an_export_writes(folder):
    transcript = write(os.path.join(folder, "m.wav.txt"), TRANSCRIPT)
    os.mkdir(os.path.join(folder, "home"))
    victim = os.path.join(folder, "home", ".bash_aliases")
    planted = os.path.join(folder, "m.wav.utf8.txt")
    os.symlink(victim, planted)
    for arguments in (["txt", "m.wav.txt"], ["txt", "m.wav.txt", "--force"]):
        refused(run(folder, "--export", *arguments), 1, ["符号链接", planted], f"a link that leads nowhere, {arguments}")
        check(not os.path.lexists(victim), f"nothing written through the planted link, {arguments}")
    write(victim, b"alias ll='ls -l'\n")
    refused(run(folder, "--export", "txt", "m.wav.txt", "--force"), 1, ["符号链接"], "a planted link to a file")
    check(read(victim) == b"alias ll='ls -l'\n", "the file a planted link points to is kept")
    check(os.path.islink(planted), "the planted link is left as it was")

    # An output the user names is followed, as the shell follows it.
    real = write(os.path.join(folder, "真的.srt"), b"old")
    named = os.path.join(folder, "链接.srt")
    os.symlink("真的.srt", named)
    refused(run(folder, "--export", "srt", "m.wav.txt", named), 1, ["--force"], "a named link to a file, no --force")
    check(read(real) == b"old", "kept without --force")
    done = run(folder, "--export", "srt", "m.wav.txt", named, "--force")
    check(done is not None and done.returncode == 0, f"a named link, --force: {done and done.stderr!r}")
    check(read(real).startswith(b"1\n00:00:01,000 --> 00:00:03,000"), "written through the named link")
    check(os.path.islink(named), "the named link stays a link")
    os.symlink("不存在.srt", os.path.join(folder, "空链接.srt"))
    refused(run(folder, "--export", "srt", "m.wav.txt", "空链接.srt", "--force"), 1, ["符号链接"],
            "a named link that leads nowhere")
    check(not os.path.lexists(os.path.join(folder, "不存在.srt")), "nothing made where a named link led nowhere")
    check(read(transcript) == TRANSCRIPT, "the transcript untouched")


def test_the_transcript_itself_is_never_the_output(folder):
    transcript = write(os.path.join(folder, "m.wav.txt"), TRANSCRIPT)
    os.symlink("m.wav.txt", os.path.join(folder, "link.txt"))
    os.symlink(".", os.path.join(folder, "same"))
    os.link(transcript, os.path.join(folder, "hard.txt"))
    for output, what in (("link.txt", "a link to it"), ("same/m.wav.txt", "through a linked folder"),
                         ("hard.txt", "a second hard link")):
        refused(run(folder, "--export", "txt", "m.wav.txt", output, "--force"), 1, ["文稿本身"], what)
        check(read(transcript) == TRANSCRIPT, f"the transcript untouched: {what}")


def test_only_regular_files_of_the_windows_size_are_read(folder):
    os.mkfifo(os.path.join(folder, "pipe.txt"))
    with open(os.path.join(folder, "huge.txt"), "wb") as huge:
        huge.truncate(600 * 1024 * 1024)  # sparse: costs no disk
    for transcript, words, what in (("/dev/zero", ["不是普通文件"], "a device"),
                                    ("pipe.txt", ["不是普通文件"], "a named pipe"),
                                    ("huge.txt", ["超过 256 MiB"], "600 MB")):
        refused(run(folder, "--export", "txt", transcript, os.path.join(folder, "out.txt"), timeout=30), 1, words,
                what)
        check(not os.path.exists(os.path.join(folder, "out.txt")), f"nothing written: {what}")


def test_what_was_read_is_told_as_the_window_tells_it(folder):
    for name, data, words in (("café.txt", "café\n".encode("utf-8"), ["UTF-8", "BOM"]),
                              ("bad.txt", b"a\xffb\r\n", ["文稿中有1个字节无法识别"]),
                              ("gbk.txt", TRANSCRIPT, None)):
        write(os.path.join(folder, name), data)
        done = run(folder, "--export", "txt", name)
        check(done is not None and done.returncode == 0, f"{name}: {done and done.stderr!r}")
        if done is not None:
            warned = "警告" in done.stderr
            check(warned and all(word in done.stderr for word in words) if words else not warned,
                  f"{name}: told {done.stderr!r}")


def test_a_transcript_whose_name_is_not_utf8(folder):
    gbk = "访谈".encode("gbk")  # as a name unpacked from a Windows zip archive is
    base = os.fsencode(folder) + b"/" + gbk + b".wav"
    write(base + b".txt", TRANSCRIPT)
    # Python gives back the bytes of an argument it could not decode as they were.
    done = run(folder, "--export", "docx", os.fsdecode(base + b".txt"))
    check(done is not None and done.returncode == 0, f"a GBK name: {done and done.stderr!r}")
    if os.path.exists(base + b".docx"):
        title = docx.Document(os.fsdecode(base + b".docx")).paragraphs[0].text
        check(title == "访谈.wav", f"the title as the user reads the name: {title!r}")
    address = "file://" + urllib.parse.quote_from_bytes(base + b".txt")
    done = run(folder, "--export", "srt", address)
    check(done is not None and done.returncode == 0, f"its file:// address: {done and done.stderr!r}")
    names = sorted(os.listdir(os.fsencode(folder)))
    check(names == [gbk + b".wav.docx", gbk + b".wav.srt", gbk + b".wav.txt"], f"the files: {names!r}")


def holds_user_attributes(folder):
    probe = write(os.path.join(folder, "probe"), b"")
    try:
        os.setxattr(probe, "user.probe", b"1")
        return True
    except OSError:
        return False
    finally:
        os.remove(probe)


def test_an_export_keeps_the_attributes_of_the_file_it_replaces(folder):
    if not holds_user_attributes(folder):
        folder = tempfile.mkdtemp(dir=os.path.dirname(os.path.abspath(BINARY)))
        if not holds_user_attributes(folder):
            print("skipped test_an_export_keeps_the_attributes: no file system here holds user attributes")
            return
    try:
        write(os.path.join(folder, "m.wav.txt"), TRANSCRIPT)
        output = write(os.path.join(folder, "shared.srt"), b"old")
        os.chmod(output, 0o640)
        os.setxattr(output, "user.xdg.tags", "访谈".encode())
        subprocess.run(["setfacl", "-m", "u:nobody:rw", output], check=True)
        acl = subprocess.run(["getfacl", "-c", output], capture_output=True, check=True).stdout
        done = run(folder, "--export", "srt", "m.wav.txt", output, "--force")
        check(done is not None and done.returncode == 0, f"export over a shared file: {done and done.stderr!r}")
        check(read(output).startswith(b"1\n00:00:01,000"), "the export written")
        check(subprocess.run(["getfacl", "-c", output], capture_output=True, check=True).stdout == acl,
              "the ACL kept")
        try:
            tags = os.getxattr(output, "user.xdg.tags")
        except OSError:
            tags = None
        check(tags == "访谈".encode(), "the user attribute kept")
    finally:
        if folder.startswith(os.path.dirname(os.path.abspath(BINARY))):
            shutil.rmtree(folder)


if __name__ == "__main__":
    for test in (test_refused_lines_say_why_without_a_display, test_links_planted_where_an_export_writes,
                 test_the_transcript_itself_is_never_the_output, test_only_regular_files_of_the_windows_size_are_read,
                 test_what_was_read_is_told_as_the_window_tells_it, test_a_transcript_whose_name_is_not_utf8,
                 test_an_export_keeps_the_attributes_of_the_file_it_replaces):
        with tempfile.TemporaryDirectory() as folder:
            test(folder)
            print("ran", test.__name__, flush=True)
    sys.exit(1 if failures else 0)

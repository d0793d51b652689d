"""Nothing typed is lost when the program is killed: the next start brings the
text back, with its recording at the position it had."""

import os
import tempfile
import time

from tavrin_e2e import Program, check, run, wait_for, write_wav

RECOVERED = "上次没有正常退出，未保存的文稿已恢复。请及时保存。"
BROUGHT_BACK = "已加载这个录音的文稿"
REPLACE = "是否用编辑器中的文字替换它"


def long_transcript(lines):
    """A transcript of short Chinese lines, in GBK with CR LF, as the program saves one."""
    return "".join(f"第{number}行，听打整理的文字。\r\n" for number in range(lines)).encode("gbk")


def content(path):
    with open(path, "rb") as file:
        return file.read()


def kill_when(program, appears, what):
    """Kills the program with SIGKILL the moment `appears()` holds (a file it is
    writing shows), as a crash or a power loss would at that point."""
    deadline = time.monotonic() + 120
    while not appears():
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
    program.process.kill()
    program.process.wait()


def journals_in(state):
    folder = os.path.join(state["XDG_STATE_HOME"], "tavrin", "journals")
    return [name for name in os.listdir(folder) if name.endswith(".journal")] if os.path.isdir(folder) else []


def change_the_transcript(program, state, recording, earlier):
    """Writes a recording with `earlier` as its transcript, loads it (the transcript
    comes back), types "x" at its end and waits until the journal holds the change."""
    write_wav(recording, 20)
    with open(recording + ".txt", "wb") as file:
        file.write(earlier)
    program.activate(program.main_window())
    program.load_recording(recording)
    program.answer_box(BROUGHT_BACK)
    program.click(program.find(name="文稿听打整理区", role="text"))
    program.key("ctrl+End")
    program.type("x")
    wait_for(lambda: journals_in(state), "the journal of the change")


def recover_and_save(binary, state, recording, expected):
    """Starts the program again: the text comes back, with its recording, and saving
    it gives `expected` beside the recording."""
    with Program(binary, env=state) as program:
        program.main_window()  # the notice comes at once and takes the focus
        program.answer_message(RECOVERED)
        wait_for(lambda: program.player_property("path") == recording, "the recording loaded again")
        program.click(program.find(name="文稿听打整理区", role="text"))
        program.key("ctrl+s")
        transcript = recording + ".txt"
        # Killed after the new transcript took the old one's place, the program
        # never learnt that it wrote it: then it asks, rightly.
        if wait_for(lambda: program.visible_window("提示"), "a question", timeout=5, raise_on_timeout=False):
            program.answer_box(REPLACE, "Return", "提示")
        wait_for(lambda: content(transcript) == expected, "the recovered text saved beside the recording")
        wait_for(lambda: journals_in(state) == [], lambda: f"the journal retired, not {journals_in(state)}")


def test_killed_program_gives_back_the_text_and_the_recording(binary):
    with tempfile.TemporaryDirectory() as folder:
        state = {"XDG_STATE_HOME": os.path.join(folder, "state")}
        recording = os.path.join(folder, "interview.wav")
        write_wav(recording, 60)
        typed = "第一句，听打\nsecond-line"  # Space plays: none typed
        with Program(binary, env=state) as program:
            program.activate(program.main_window())
            program.load_recording(recording)
            time_box = program.find(name="用时间定位语音", role="text")
            program.click(time_box)
            program.key("ctrl+a")
            program.type("00:00:12")
            program.click(program.find(name="确定", role="label"))
            wait_for(lambda: (program.player_property("time-pos") or 0) >= 12, "playback at 12 s")
            editor = program.find(name="文稿听打整理区", role="text")
            program.click(editor)
            program.key("space")
            wait_for(lambda: program.player_property("pause") is True, "Space to pause")
            position = program.player_property("time-pos")
            program.type_into(editor, typed)
            time.sleep(0.5)  # the crash comes half a second after the last key
            program.process.kill()
            program.process.wait()
        journals = os.path.join(state["XDG_STATE_HOME"], "tavrin", "journals")
        check(len(os.listdir(journals)) == 1, f"one journal left by the killed program: {os.listdir(journals)}")

        with Program(binary, env=state) as program:
            program.main_window()  # the notice comes at once and takes the focus
            program.answer_message(RECOVERED)
            editor = program.find(name="文稿听打整理区", role="text")
            wait_for(lambda: program.text(editor) == typed, lambda: f"the typed text, not {program.text(editor)!r}")
            wait_for(lambda: program.player_property("path") == recording, "the recording loaded again")
            check(abs(program.player_property("time-pos") - position) < 1.5,
                  f"the recording at {position:.1f} s, not {program.player_property('time-pos')}")
            program.click(editor)
            program.key("ctrl+s")
            transcript = recording + ".txt"
            wait_for(lambda: os.path.exists(transcript), "the transcript beside the recording")
            with open(transcript, "rb") as saved:
                content = saved.read()
            check(content == typed.replace("\n", "\r\n").encode("gbk"), f"saved bytes: {content!r}")
            wait_for(lambda: os.listdir(journals) == [], lambda: f"the journal retired, not {os.listdir(journals)}")


def test_killed_while_saving(binary):
    with tempfile.TemporaryDirectory() as folder:
        state = {"XDG_STATE_HOME": os.path.join(folder, "state")}
        recording = os.path.join(folder, "lecture.wav")
        transcript = recording + ".txt"
        earlier = long_transcript(600_000)  # some 16 MB: the save takes a while
        with Program(binary, env=state) as program:
            change_the_transcript(program, state, recording, earlier)
            program.key("ctrl+s")
            kill_when(program, lambda: any(name.endswith(".tmp") for name in os.listdir(folder)),
                      "the save to begin")
        on_disk = content(transcript)
        check(on_disk in (earlier, earlier + b"x"), "the transcript is whole: the old one or the new one")
        recover_and_save(binary, state, recording, earlier + b"x")


def test_killed_while_the_journal_is_compacted(binary):
    with tempfile.TemporaryDirectory() as folder:
        state = {"XDG_STATE_HOME": os.path.join(folder, "state")}
        recording = os.path.join(folder, "meeting.wav")
        earlier = long_transcript(100_000)  # some 1.6 million characters
        journals = os.path.join(state["XDG_STATE_HOME"], "tavrin", "journals")
        with Program(binary, env=state) as program:
            change_the_transcript(program, state, recording, earlier)
            program.key("ctrl+a")
            program.key("ctrl+c")
            # Replacing the whole text with itself records all of it each time,
            # until the journal outgrows the text and starts afresh from a snapshot.
            for _ in range(4):
                program.key("ctrl+a")
                program.key("ctrl+v")
            kill_when(program, lambda: any(name.endswith(".new") for name in os.listdir(journals)),
                      "the journal to be compacted")
        recover_and_save(binary, state, recording, earlier + b"x")


if __name__ == "__main__":
    run([test_killed_program_gives_back_the_text_and_the_recording, test_killed_while_saving,
         test_killed_while_the_journal_is_compacted])

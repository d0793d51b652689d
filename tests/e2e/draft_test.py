"""The machine's first draft on the real display: a recording of spoken phrases
is loaded, 自动初稿 is chosen, and the editor fills with a marked paragraph at
each phrase while playback and typing go on."""

import math
import os
import re
import subprocess
import tempfile
import wave

from tavrin_e2e import Program, check, run, wait_for

PHRASES = ["今天我们讨论一下项目的进度。", "好的，我先说。", "上个月完成了第一部分的工作，下个月开始测试。"]
ROUNDS = 20  # long enough to be typing while the draft runs
GAP_SECONDS = 1.5
AUDIBLE = 330  # of 32767: quieter is espeak-ng's lead-in and tail


def spoken(text, folder):
    """The phrase's audible samples (16-bit mono bytes) and their rate."""
    path = os.path.join(folder, "phrase.wav")
    subprocess.run(["espeak-ng", "-v", "cmn", "-w", path, text], check=True)
    with wave.open(path) as phrase:
        rate, frames = phrase.getframerate(), phrase.readframes(phrase.getnframes())
    samples = [int.from_bytes(frames[i:i + 2], "little", signed=True) for i in range(0, len(frames), 2)]
    loud = [i for i, sample in enumerate(samples) if abs(sample) > AUDIBLE]
    return frames[loud[0] * 2:(loud[-1] + 1) * 2], rate


def write_phrases(path, folder, rounds=ROUNDS):
    """Writes the phrases `rounds` times with silence between; returns each phrase's start in seconds."""
    said = [spoken(text, folder) for text in PHRASES]
    rate = said[0][1]
    gap = b"\0\0" * int(GAP_SECONDS * rate)
    sound, starts = bytearray(), []
    for _ in range(rounds):
        for frames, _ in said:
            sound += gap
            starts.append(len(sound) / 2 / rate)
            sound += frames
    sound += gap
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(rate)
        out.writeframes(bytes(sound))
    return starts


def mark_seconds(text):
    return [int(h) * 3600 + int(m) * 60 + int(s) for h, m, s in re.findall(r"^-(\d\d):(\d\d):(\d\d)-$", text, re.M)]


def test_draft_fills_the_editor_while_typing_goes_on(binary):
    with tempfile.TemporaryDirectory() as folder, Program(binary) as program:
        recording = os.path.join(folder, "meeting.wav")
        starts = write_phrases(recording, folder)
        program.activate(program.main_window())
        program.load_recording(recording)
        editor = program.find(name="文稿听打整理区", role="text")

        program.open_menu_item(" 自动初稿 ")
        wait_for(lambda: mark_seconds(program.text(editor)), "the first marked paragraph")
        check(len(mark_seconds(program.text(editor))) < len(starts), "the draft still coming while the user types")
        program.activate(program.main_window())
        program.key("space")
        wait_for(lambda: program.player_property("pause") is False, "Space to start playback while the draft runs")
        program.key("ctrl+Home")
        program.type("abc")

        program.answer_message(f"自动初稿已完成：共 {len(starts)} 段。", caption="提示")
        text = program.text(editor)
        check(text.startswith("abc-00:00:01-"), f"the typing kept where it was typed: {text[:40]!r}")
        marks = mark_seconds(text.replace("abc", "", 1))
        check(len(marks) == len(starts), f"{len(marks)} marks for {len(starts)} phrases")
        # The whole second the detector's start falls in, found within 0.3 s of the phrase's.
        late = [(mark, start) for mark, start in zip(marks, starts)
                if not math.floor(start - 0.3) <= mark <= math.floor(start + 0.3)]
        check(not late, f"marks away from their phrases' starts (mark, start): {late[:5]}")
        check(program.player_property("pause") is False, "playback went on through the draft")


RECOVERED = "上次没有正常退出，未保存的文稿已恢复。请及时保存。"


def helpers_left(folder):
    """The draft helpers still running from the program's folder."""
    found = subprocess.run(["pgrep", "-f", os.path.join(folder, "tavrin-draft")], capture_output=True, text=True)
    return found.stdout.split()


def test_killed_mid_draft_the_journal_brings_the_draft_back(binary):
    with tempfile.TemporaryDirectory() as folder:
        state = {"XDG_STATE_HOME": os.path.join(folder, "state")}
        journals = os.path.join(state["XDG_STATE_HOME"], "tavrin", "journals")
        recording = os.path.join(folder, "meeting.wav")
        starts = write_phrases(recording, folder, rounds=80)
        with Program(binary, env=state) as program:
            program.activate(program.main_window())
            program.load_recording(recording)
            editor = program.find(name="文稿听打整理区", role="text")
            program.open_menu_item(" 自动初稿 ")
            wait_for(lambda: len(mark_seconds(program.text(editor))) >= 3 and os.listdir(journals),
                     "marked paragraphs, and their journal")
            shown = mark_seconds(program.text(editor))
            check(len(shown) < len(starts), "killed while the draft still comes")
            program.process.kill()
            program.process.wait()
            # The helper never outlives the window.
            wait_for(lambda: not helpers_left(program.folder), "the draft's helper to end with the program")
        with Program(binary, env=state) as program:
            program.main_window()
            program.answer_message(RECOVERED)
            editor = program.find(name="文稿听打整理区", role="text")
            wait_for(lambda: mark_seconds(program.text(editor)), "the draft back")
            back = mark_seconds(program.text(editor))
            # What came back is what was drafted, from the start, each mark whole
            # (the draft went on for a moment after the marks were counted).
            common = min(len(back), len(shown))
            check(back[:common] == shown[:common] and len(back) < len(starts),
                  f"recovered marks {back[:8]}…, shown before the kill {shown[:8]}…")


if __name__ == "__main__":
    run([test_draft_fills_the_editor_while_typing_goes_on, test_killed_mid_draft_the_journal_brings_the_draft_back])

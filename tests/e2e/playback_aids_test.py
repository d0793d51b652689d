"""The back-step on resume and the F7 loop, pressed for real in the editor and
checked against the position the player itself reports."""

import os
import tempfile

from tavrin_e2e import SHIPPED_SETTINGS, Program, check, run, wait_for, write_wav

BACK_STEP_SETTINGS = SHIPPED_SETTINGS + "[播放]\r\nresumeBackStep=2\r\n".encode("gbk")


def position(program):
    return program.player_property("time-pos")


def ready_at(program, folder, seconds):
    """A two-minute recording loaded, the editor focused, paused at `seconds`."""
    recording = os.path.join(folder, "meeting.wav")
    write_wav(recording, 120)
    program.activate(program.main_window())
    program.load_recording(recording)
    editor = program.find(name="文稿听打整理区", role="text")
    wait_for(lambda: program.focused(editor), "the editor to hold the focus")
    # The program may still be placing the recording it has just opened: the seek is asked again then.
    for _ in range(6):
        program.player("seek", seconds, "absolute+exact")
        if wait_for(lambda: abs(position(program) - seconds) < 0.1, f"the player at {seconds} s", timeout=10,
                    raise_on_timeout=False):
            return
    raise AssertionError(f"the player did not go to {seconds} s, it is at {position(program)}")


def test_space_space_plays_the_last_words_again(binary):
    with tempfile.TemporaryDirectory() as folder, Program(binary, settings=BACK_STEP_SETTINGS) as program:
        ready_at(program, folder, 30)
        program.key("space")
        wait_for(lambda: position(program) >= 31.5, "playback past 31.5 s")
        program.key("space")
        wait_for(lambda: program.player_property("pause") is True, "Space to pause")
        paused_at = position(program)
        check(position(program) == paused_at, "pausing does not move the position")

        program.key("space")
        wait_for(lambda: program.player_property("pause") is False, "Space to resume")
        # Heard from 2 s earlier: the position is back behind the pause for a second and more.
        wait_for(lambda: paused_at - 2.6 <= position(program) <= paused_at - 1.0,
                 lambda: f"playback from {paused_at - 2:.2f} s, not {position(program)}")


def test_f7_loops_a_passage_until_pressed_again(binary):
    with tempfile.TemporaryDirectory() as folder, Program(binary) as program:
        ready_at(program, folder, 10)
        program.key("space")
        wait_for(lambda: position(program) >= 10.5, "playback past 10.5 s")
        program.key("F7")
        wait_for(lambda: position(program) >= 12.5, "playback past 12.5 s")
        program.key("F7")
        wait_for(lambda: program.player_property("ab-loop-b") != "no", "the loop's end to be set")
        start, end = program.player_property("ab-loop-a"), program.player_property("ab-loop-b")
        check(10.4 <= start < end and end - start >= 1.5, f"a loop from {start} to {end}")

        # Twice round: each time playback reaches the end it goes on from the start.
        rounds, last, seen = 0, position(program), []

        def went_round():
            nonlocal rounds, last
            now = position(program)
            seen.append(now)
            if now < last - 0.5:
                rounds += 1
            last = now
            return rounds >= 2

        wait_for(went_round, lambda: f"two rounds of the loop, positions seen {seen[-20:]}", interval=0.02)
        # The sound already buffered lets the position lag behind the jump by up to half a second.
        check(all(start - 0.6 <= at <= end + 0.3 for at in seen), f"playback left the loop: {seen}")

        program.key("F7")
        wait_for(lambda: program.player_property("ab-loop-a") == "no", "the third F7 to end the loop")
        wait_for(lambda: position(program) > end + 0.5, "playback to go on past the loop's end")


if __name__ == "__main__":
    run([test_space_space_plays_the_last_words_again, test_f7_loops_a_passage_until_pressed_again])

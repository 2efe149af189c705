#!/usr/bin/env python3
"""The whole program on a virtual display, measured from outside over several runs:
time to the first character frame, CPU while idle (brain ready, balloon empty) with one and
with three characters and while a long line is revealed, private and dictionary memory (peak
and steady), time from the exit menu item (and from SIGTERM) to the end of the process, also
while a 3 MiB corpus file is being learnt. A plain GTK window showing the same picture is
measured beside it as the reference.

    bench/process_bench.py [--app build/app] [--runs 3] [--frame-runs 5] [--idle-seconds 60]
"""
import argparse
import json
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xscreen  # noqa: E402

WHITE = 0xFFFFFF
STATUS = 0xFFB4B4  # the status line's text colour
TICK = os.sysconf("SC_CLK_TCK")
GOALS = {"first_frame_ms": 150, "idle_ms_per_min": 30, "idle_three_ms_per_min": 60, "private_mb": 40,
         "exit_ms": 1500}
LONG_LINE = ("きょうは朝から雲がゆっくり流れていて、窓のそとの木もすこしずつ色を変えているみたい。"
             "お茶をいれて、机の上をかたづけて、それからメモを一枚だけ書いておこうかな。"
             "夕方になったら、今日できたことをひとつずつ数えてみようね。たぶん思っているより多いよ。")


def log(*args):
    print(*args, file=sys.stderr, flush=True)


def near(p, q, tol):
    return all(abs(((p >> s) & 0xFF) - ((q >> s) & 0xFF)) <= tol for s in (0, 8, 16))


def wait_for(test, seconds, step=0.05):
    until = time.monotonic() + seconds
    while True:
        value = test()
        if value:
            return value
        if time.monotonic() >= until:
            return None
        time.sleep(step)


def xdotool(*args):
    subprocess.run(["xdotool", *args], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)


# ---- processes --------------------------------------------------------------------------

def cpu_ms(pid):
    """CPU time of the process so far, in milliseconds, with the threads alive now: a pair of
    the nanosecond run times the scheduler keeps per thread and the thread ids. The tick-based
    total of /proc/PID/stat counts in 10 ms steps, too coarse for an idle minute."""
    total, tids = 0, []
    for tid in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/schedstat" % (pid, tid)) as f:
                total += int(f.read().split()[0])
            tids.append(tid)
        except (OSError, ValueError, IndexError):
            pass
    return total / 1e6, frozenset(tids), ticks_ms(pid)


def ticks_ms(pid):
    """User plus system CPU time of the whole process, ended threads included, in 10 ms steps."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) * 1000.0 / TICK


def cpu_per_min(before, after, seconds):
    """CPU per minute between two cpu_ms samples; the tick-based figure when a thread ended or
    began in between (its time would be missing from the per-thread sum)."""
    if before[1] == after[1]:
        return (after[0] - before[0]) / seconds * 60.0
    return (after[2] - before[2]) / seconds * 60.0


def memory(pid, dictionary):
    """Resident memory in MB, from /proc/PID/smaps: private (written pages outside the
    dictionary: heap, stacks, relocated data), clean pages of files that only this process
    maps just now (they count as shared as soon as another process maps the same library),
    pages shared with other processes, and the mapped dictionary."""
    private = clean = shared = dict_rss = 0
    in_dict = False
    with open("/proc/%d/smaps" % pid) as f:
        for line in f:
            head = line.split()
            if not head:
                continue
            if "-" in head[0] and not head[0].endswith(":"):
                path = head[5] if len(head) > 5 else ""
                in_dict = bool(dictionary) and path.startswith(dictionary)
            elif in_dict:
                if head[0] == "Rss:":
                    dict_rss += int(head[1])
            elif head[0] == "Private_Dirty:":
                private += int(head[1])
            elif head[0] == "Private_Clean:":
                clean += int(head[1])
            elif head[0] in ("Shared_Clean:", "Shared_Dirty:"):
                shared += int(head[1])
    return {"private_mb": private / 1024.0, "clean_mb": clean / 1024.0, "shared_mb": shared / 1024.0,
            "dict_mb": dict_rss / 1024.0}


class Program:
    """A private copy of the application folder and one run of the program from it."""

    def __init__(self, app, tweak=None):
        self.tmp = tempfile.mkdtemp(prefix="tavi-bench-")
        self.folder = os.path.join(self.tmp, "app")
        shutil.copytree(app, self.folder, symlinks=True)
        os.makedirs(os.path.join(self.tmp, "run"))
        for left in ("tavi.state", "tavi.config", "error.log"):  # left by a run in the built folder
            if os.path.exists(os.path.join(self.folder, left)):
                os.remove(os.path.join(self.folder, left))
        if tweak:
            tweak(self.folder)
        link = os.path.join(self.folder, "sorn", "dic", "unidic")
        self.dictionary = os.path.realpath(link) if os.path.exists(link) else ""
        self.proc = None

    def start(self):
        env = dict(os.environ, XDG_RUNTIME_DIR=os.path.join(self.tmp, "run"))
        self.err = open(os.path.join(self.tmp, "stderr.log"), "w")
        self.started = time.monotonic()
        self.proc = subprocess.Popen([os.path.join(self.folder, "tavi")], cwd="/", env=env,
                                     stdout=subprocess.DEVNULL, stderr=self.err)
        return self

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        shutil.rmtree(self.tmp, ignore_errors=True)


# Sentences of our own for a long corpus file; lines combine them in a fixed order.
CORPUS_SENTENCES = ["朝の光が窓から差しこんで、机の上の植木鉢を明るく照らしている。",
                    "商店街の角にある本屋では、古い料理の本がよく売れるそうだ。",
                    "川の土手を歩くと、遠くの橋の上を電車がゆっくり渡っていくのが見えた。",
                    "祖父は毎晩、庭の小さな池に住む金魚に餌をやってから眠る。",
                    "雪の降った翌朝、子どもたちは公園で大きな雪だるまを作った。",
                    "図書館の窓際の席は静かで、午後になると日差しが暖かい。",
                    "新しい傘を買ったのに、今日に限って一日じゅう晴れていた。"]


def muted(folder):
    with open(os.path.join(folder, "tavi.state"), "w", encoding="utf-8") as f:
        f.write("[user.preference]\n1=false\n2=false\n3=false\n4=true\n6=false\n")


def three_characters(folder):
    """Three copies of the default unit, muted through the state file (all three stand at the
    same corner, so the menu of the first, which lies below, cannot be reached)."""
    units = os.path.join(folder, "units")
    for name in ("mebu2", "mebu3"):
        shutil.copytree(os.path.join(units, "mebu"), os.path.join(units, name), symlinks=True)
    with open(os.path.join(units, "bootstrap.json"), "w", encoding="utf-8") as f:
        json.dump({"units": ["mebu", "mebu2", "mebu3"]}, f)
    muted(folder)


def big_corpus(folder):
    """A corpus file of 3 MiB for the default unit's brain."""
    lines, i = [], 0
    size = 0
    while size < 3 * 1024 * 1024:
        line = "".join(CORPUS_SENTENCES[(i + k * 3) % len(CORPUS_SENTENCES)] for k in range(1 + i % 4))
        lines.append(line)
        size += len(line.encode("utf-8")) + 1
        i += 1
    path = os.path.join(folder, "units", "mebu", "brain", "models", "corpus", "big.txt")
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


def long_wakeup_line(folder):
    path = os.path.join(folder, "units", "mebu", "brain", "event.json")
    with open(path, encoding="utf-8") as f:
        table = json.load(f)
    table["unit_wakeup"] = {"action": "speak", "texts": [LONG_LINE]}
    with open(path, "w", encoding="utf-8") as f:
        json.dump(table, f, ensure_ascii=False)


# ---- what is on the screen --------------------------------------------------------------

class View:
    def __init__(self, screen, pid):
        self.s, self.pid = screen, pid

    def body(self):
        # A mapped window of the program that is neither a dialog nor a menu and belongs to
        # no shown window (the balloon belongs to it).
        wins = self.s.windows(self.pid)
        shown = {w.id for w in wins if w.mapped}
        for w in wins:
            if w.mapped and not w.override and not w.dialog and w.owner not in shown:
                return w
        return None

    def drawn(self, win):
        px = self.s.pixels(win.box)
        return px and sum(1 for p in px if p) > len(px) // 10

    def balloon_showing(self, body):
        for w in self.s.windows(self.pid):
            if w.owner == body.id and w.mapped:
                box = (w.x, w.y, min(w.x + w.w, body.x), w.y + w.h)
                return sum(1 for p in self.s.pixels(box) if p == WHITE) >= 200
        return False

    def status_showing(self, body):
        return sum(1 for p in self.s.pixels(body.box) if near(p, STATUS, 4)) >= 15

    def menu(self):
        for w in self.s.windows(self.pid):
            if w.mapped and w.override and w.w > 1 and w.h > 1 and w.x + w.w > 0 and w.y + w.h > 0:
                return w
        return None

    def open_menu(self, body):
        x, y = body.x + body.w // 2, body.y + body.h // 2
        px = self.s.pixels(body.box)
        best = None
        for i, p in enumerate(px):
            if p:
                dx, dy = i % body.w - body.w // 2, i // body.w - body.h // 2
                d = dx * dx + dy * dy
                if best is None or d < best[0]:
                    best = (d, body.x + i % body.w, body.y + i // body.w)
        if best:
            x, y = best[1], best[2]
        xdotool("mousemove", str(x), str(y))
        time.sleep(0.1)
        xdotool("click", "3")
        return wait_for(self.menu, 5)


# ---- measurements -----------------------------------------------------------------------

def run_program(screen, args):
    """One run with the default character: first frame, idle CPU, memory, exit time."""
    prog = Program(args.app).start()
    out = {}
    try:
        pid = prog.proc.pid
        v = View(screen, pid)
        body = wait_for(lambda: (lambda b: b if b and v.drawn(b) else None)(v.body()), 30, 0.005)
        if not body:
            raise RuntimeError("no character frame")
        out["first_frame_ms"] = (time.monotonic() - prog.started) * 1000
        peak = memory(pid, prog.dictionary)

        def ready():
            nonlocal peak
            m = memory(pid, prog.dictionary)
            peak = {k: max(peak[k], m[k]) for k in peak}
            return v.balloon_showing(body)
        if not wait_for(ready, 60, 0.2):
            raise RuntimeError("no wake-up line")
        out["ready_ms"] = (time.monotonic() - prog.started) * 1000

        # Muted, the character stays silent (no boredom line) while it idles.
        if not v.open_menu(body):
            raise RuntimeError("no menu")
        xdotool("key", "q")
        wait_for(lambda: not v.menu(), 5)
        wait_for(lambda: not v.balloon_showing(body), 30, 0.25)
        wait_for(lambda: not v.status_showing(body), 30, 0.25)
        time.sleep(1.0)
        c0, t0 = cpu_ms(pid), time.monotonic()
        time.sleep(args.idle_seconds)
        c1, t1 = cpu_ms(pid), time.monotonic()
        out["idle_ms_per_min"] = cpu_per_min(c0, c1, t1 - t0)
        steady = memory(pid, prog.dictionary)
        peak = {k: max(peak[k], steady[k]) for k in peak}
        out.update({"private_mb": steady["private_mb"], "dict_mb": steady["dict_mb"],
                    "clean_mb": steady["clean_mb"], "shared_mb": steady["shared_mb"],
                    "peak_private_mb": peak["private_mb"], "peak_dict_mb": peak["dict_mb"]})
        with open("/proc/%d/status" % pid) as f:
            out["vm_hwm_mb"] = next(int(l.split()[1]) for l in f if l.startswith("VmHWM:")) / 1024.0

        if not v.open_menu(body):
            raise RuntimeError("no menu")
        t = time.monotonic()
        xdotool("key", "x")
        code = prog.proc.wait(timeout=15)
        out["exit_ms"] = (time.monotonic() - t) * 1000
        out["exit_code"] = code
    finally:
        prog.stop()
    return out


def run_reveal(screen, args):
    """One run whose wake-up line is long: CPU while it is revealed; exit time on SIGTERM."""
    prog = Program(args.app, long_wakeup_line).start()
    out = {}
    try:
        pid = prog.proc.pid
        v = View(screen, pid)
        body = wait_for(lambda: (lambda b: b if b and v.drawn(b) else None)(v.body()), 30, 0.02)
        if not body or not wait_for(lambda: v.balloon_showing(body), 60, 0.1):
            raise RuntimeError("no long line")
        time.sleep(0.3)
        c0, t0 = cpu_ms(pid), time.monotonic()
        time.sleep(args.reveal_seconds)
        c1, t1 = cpu_ms(pid), time.monotonic()
        out["reveal_ms_per_s"] = cpu_per_min(c0, c1, t1 - t0) / 60.0
        out["reveal_private_mb"] = memory(pid, prog.dictionary)["private_mb"]
        t = time.monotonic()
        prog.proc.send_signal(signal.SIGTERM)
        prog.proc.wait(timeout=15)
        out["sigterm_exit_ms"] = (time.monotonic() - t) * 1000
    finally:
        prog.stop()
    return out


def first_body(screen, prog, step=0.005):
    v = View(screen, prog.proc.pid)
    return wait_for(lambda: (lambda b: b if b and v.drawn(b) else None)(v.body()), 30, step)


def run_first_frame(screen, args, exe):
    """Start to the first frame of the program and of the reference, one start each."""
    out = {}
    prog = Program(args.app).start()
    try:
        if not first_body(screen, prog):
            raise RuntimeError("no character frame")
        out["first_frame_ms"] = (time.monotonic() - prog.started) * 1000
    finally:
        prog.stop()
    image = os.path.join(args.app, "units", "mebu", "body", "idle.png")
    started = time.monotonic()
    proc = subprocess.Popen([exe, image, "0"], env=dict(os.environ, GDK_BACKEND="x11"))
    try:
        v = View(screen, proc.pid)
        if not wait_for(lambda: next((w for w in screen.windows(proc.pid) if w.mapped and v.drawn(w)), None),
                        30, 0.005):
            raise RuntimeError("reference window not shown")
        out["reference_first_frame_ms"] = (time.monotonic() - started) * 1000
    finally:
        proc.kill()
        proc.wait()
    return out


def run_three(screen, args):
    """Three muted characters: CPU while all are idle with ready brains."""
    prog = Program(args.app, three_characters).start()
    out = {}
    try:
        pid = prog.proc.pid
        v = View(screen, pid)
        body = first_body(screen, prog, 0.02)
        if not body:
            raise RuntimeError("no character frame")
        # The loading lines go 4 s after the brains are ready; then the standby motion turns
        # to idle after 10 s of silence.
        if not wait_for(lambda: v.status_showing(body), 30, 0.1) or \
                not wait_for(lambda: not v.status_showing(body), 60, 0.25):
            raise RuntimeError("no end of loading")
        time.sleep(11.0)
        c0, t0 = cpu_ms(pid), time.monotonic()
        time.sleep(args.idle_seconds)
        c1, t1 = cpu_ms(pid), time.monotonic()
        out["idle_three_ms_per_min"] = cpu_per_min(c0, c1, t1 - t0)
    finally:
        prog.stop()
    return out


def run_sigterm_loading(screen, args):
    """SIGTERM while a 3 MiB corpus file is being learnt: time to the end of the process, its
    exit code, and whether the state file was written."""
    prog = Program(args.app, big_corpus).start()
    out = {}
    try:
        v = View(screen, prog.proc.pid)
        body = first_body(screen, prog, 0.02)
        if not body or not wait_for(lambda: v.status_showing(body), 30, 0.05):
            raise RuntimeError("no loading line")
        time.sleep(1.0)
        out["loading_at_signal"] = v.status_showing(body) and not v.balloon_showing(body)
        t = time.monotonic()
        prog.proc.send_signal(signal.SIGTERM)
        out["exit_code"] = prog.proc.wait(timeout=30)
        out["sigterm_loading_exit_ms"] = (time.monotonic() - t) * 1000
        out["state_written"] = os.path.exists(os.path.join(prog.folder, "tavi.state"))
    finally:
        prog.stop()
    return out


def build_reference(tmp):
    source = os.path.join(os.path.dirname(os.path.abspath(__file__)), "reference_window.c")
    exe = os.path.join(tmp, "reference_window")
    flags = subprocess.run(["pkg-config", "--cflags", "--libs", "gtk+-3.0"], capture_output=True, text=True,
                           check=True).stdout.split()
    subprocess.run(["cc", "-O2", "-o", exe, source, *flags], check=True)
    return exe


def run_reference(screen, args, exe, tick_ms=0):
    image = os.path.join(args.app, "units", "mebu", "body", "idle.png")
    out = {}
    started = time.monotonic()
    proc = subprocess.Popen([exe, image, str(tick_ms)], env=dict(os.environ, GDK_BACKEND="x11"))
    try:
        v = View(screen, proc.pid)
        win = wait_for(lambda: next((w for w in screen.windows(proc.pid) if w.mapped and v.drawn(w)), None),
                       30, 0.005)
        if not win:
            raise RuntimeError("reference window not shown")
        out["first_frame_ms"] = (time.monotonic() - started) * 1000
        time.sleep(1.0)
        c0, t0 = cpu_ms(proc.pid), time.monotonic()
        time.sleep(args.idle_seconds)
        c1, t1 = cpu_ms(proc.pid), time.monotonic()
        out["idle_ms_per_min"] = cpu_per_min(c0, c1, t1 - t0)
        out.update({k: v2 for k, v2 in memory(proc.pid, "").items() if k != "dict_mb"})
        t = time.monotonic()
        proc.send_signal(signal.SIGTERM)
        proc.wait(timeout=15)
        out["sigterm_exit_ms"] = (time.monotonic() - t) * 1000
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
    return out


def start_xvfb():
    r, w = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                            pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(w)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(r, 16)
        if not chunk:
            raise RuntimeError("Xvfb did not start")
        number += chunk
    os.close(r)
    return xvfb, ":" + number.decode().strip()


def summary(name, rows, key, unit, goal=None):
    values = [r[key] for r in rows if key in r]
    if not values:
        return
    med = statistics.median(values)
    text = "  %-36s median %8.1f %-8s runs: %s" % (name, med, unit, " ".join("%.1f" % x for x in values))
    if goal is not None:
        text += "   goal <= %s: %s" % (goal, "met" if med <= goal else "MISSED")
    print(text)


def main():
    here = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--app", default=os.path.join(here, "build", "app"), help="the built application folder")
    ap.add_argument("--runs", type=int, default=3)
    ap.add_argument("--frame-runs", type=int, default=5, help="starts measured for the first frame alone")
    ap.add_argument("--idle-seconds", type=float, default=60.0, help="length of the idle measurement")
    ap.add_argument("--reveal-seconds", type=float, default=5.0, help="length of the reveal measurement")
    ap.add_argument("--display", help="use this X display instead of a new virtual one")
    args = ap.parse_args()
    args.app = os.path.abspath(args.app)
    if not os.path.exists(os.path.join(args.app, "tavi")):
        sys.exit("no program in %s (build the appfolder target)" % args.app)

    xvfb = None
    if args.display:
        os.environ["DISPLAY"] = args.display
    else:
        xvfb, os.environ["DISPLAY"] = start_xvfb()
    tmp = tempfile.mkdtemp(prefix="tavi-bench-ref-")
    try:
        screen = xscreen.Screen()
        reference = build_reference(tmp)
        prog_rows, reveal_rows, ref_rows, tick_rows = [], [], [], []
        frame_rows, three_rows, loading_rows = [], [], []
        for i in range(args.frame_runs):
            log("start %d/%d: first frame, program and reference" % (i + 1, args.frame_runs))
            frame_rows.append(run_first_frame(screen, args, reference))
            log("  ", frame_rows[-1])
        for i in range(args.runs):
            log("run %d/%d: three characters" % (i + 1, args.runs))
            three_rows.append(run_three(screen, args))
            log("  ", three_rows[-1])
            log("run %d/%d: SIGTERM while a 3 MiB corpus loads" % (i + 1, args.runs))
            loading_rows.append(run_sigterm_loading(screen, args))
            log("  ", loading_rows[-1])
            log("run %d/%d: program" % (i + 1, args.runs))
            prog_rows.append(run_program(screen, args))
            log("  ", prog_rows[-1])
            log("run %d/%d: long line" % (i + 1, args.runs))
            reveal_rows.append(run_reveal(screen, args))
            log("  ", reveal_rows[-1])
            log("run %d/%d: reference window" % (i + 1, args.runs))
            ref_rows.append(run_reference(screen, args, reference))
            log("  ", ref_rows[-1])
            log("run %d/%d: reference window with an empty 50 ms timer" % (i + 1, args.runs))
            tick_rows.append(run_reference(screen, args, reference, 50))
            log("  ", tick_rows[-1])
        print("tavi (%d runs, %d starts for the first frame, idle window %.0f s, display %s, load average %s)"
              % (args.runs, args.frame_runs, args.idle_seconds, os.environ["DISPLAY"],
                 " ".join("%.2f" % x for x in os.getloadavg())))
        summary("start to first frame", frame_rows, "first_frame_ms", "ms", GOALS["first_frame_ms"])
        summary("  the reference window, same starts", frame_rows, "reference_first_frame_ms", "ms")
        summary("start to first frame (long runs)", prog_rows, "first_frame_ms", "ms")
        summary("start to wake-up line", prog_rows, "ready_ms", "ms")
        summary("idle CPU (muted, balloon empty)", prog_rows, "idle_ms_per_min", "ms/min", GOALS["idle_ms_per_min"])
        summary("idle CPU, three characters (muted)", three_rows, "idle_three_ms_per_min", "ms/min",
                GOALS["idle_three_ms_per_min"])
        summary("CPU while revealing a long line", reveal_rows, "reveal_ms_per_s", "ms/s")
        summary("private memory, steady", prog_rows, "private_mb", "MB", GOALS["private_mb"])
        summary("private memory, peak", prog_rows, "peak_private_mb", "MB", GOALS["private_mb"])
        summary("mapped dictionary, steady", prog_rows, "dict_mb", "MB")
        summary("mapped dictionary, peak", prog_rows, "peak_dict_mb", "MB")
        summary("clean file pages mapped only here", prog_rows, "clean_mb", "MB")
        summary("pages shared with other processes", prog_rows, "shared_mb", "MB")
        summary("peak resident (VmHWM)", prog_rows, "vm_hwm_mb", "MB")
        summary("exit item to process end", prog_rows, "exit_ms", "ms", GOALS["exit_ms"])
        summary("SIGTERM to process end", reveal_rows, "sigterm_exit_ms", "ms")
        summary("SIGTERM while a 3 MiB corpus loads", loading_rows, "sigterm_loading_exit_ms", "ms", GOALS["exit_ms"])
        print("  loading when signalled: %s; exit codes: %s; state written: %s"
              % ([r.get("loading_at_signal") for r in loading_rows], [r.get("exit_code") for r in loading_rows],
                 [r.get("state_written") for r in loading_rows]))
        print("reference: plain GTK window with the same picture")
        summary("start to first frame", ref_rows, "first_frame_ms", "ms")
        summary("idle CPU", ref_rows, "idle_ms_per_min", "ms/min")
        summary("private memory", ref_rows, "private_mb", "MB")
        summary("clean file pages mapped only here", ref_rows, "clean_mb", "MB")
        summary("pages shared with other processes", ref_rows, "shared_mb", "MB")
        summary("SIGTERM to process end", ref_rows, "sigterm_exit_ms", "ms")
        print("reference: the same window with an empty 50 ms timer")
        summary("idle CPU", tick_rows, "idle_ms_per_min", "ms/min")
        codes = {r.get("exit_code") for r in prog_rows + loading_rows}
        if codes != {0}:
            print("exit codes from the exit item: %s" % sorted(codes))
            return 1
        return 0
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
        if xvfb:
            xvfb.terminate()
            xvfb.wait()


if __name__ == "__main__":
    sys.exit(main())

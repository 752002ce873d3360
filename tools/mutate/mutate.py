#!/usr/bin/env python3
"""Mutation check of the game's rules: makes one small fault at a time in a copy of the sources,
rebuilds the unit-test executable and reports whether the unit tests notice.

Each mutant is one token-level change on one line (see OPERATORS). The tests of the mutated
file's folder run first; only a mutant they miss is run against the whole unit suite. The
sources are copied into a scratch tree, so the working tree and its build stay untouched while
a run goes on. See tools/mutate/README.md.
"""

import argparse
import hashlib
import os
import re
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))

# The files under test, each with the line ranges to mutate (None: the whole file). Headers are
# left out: a change to one rebuilds most of the game, and theirs are declarations and
# one-line helpers that the .cpp files exercise.
DEFAULT_TARGETS = [
    ("world/level_file.cpp", None),
    ("world/load_world.cpp", None),
    ("objects/scene_objects.cpp", None),
    ("world/shooting.cpp", None),
    ("world/world_rules.cpp", None),
    ("camera/camera.cpp", None),
    ("basics/frame_timer.cpp", None),
    ("basics/geometry.cpp", None),
    ("world/movement.cpp", None),
    ("terrain/height_map.cpp", None),
    ("terrain/blood.cpp", None),
    ("models/md2_loader.cpp", "frame-names"),
    ("models/md2_loader.cpp", "tables"),
    ("models/model_draw.cpp", "key-frames"),
    ("render/bmp_reader.cpp", None),
    ("state/options.cpp", None),
    ("app/startup.cpp", "settings"),
    ("frame/frame_renderer.cpp", "tables"),
]

# Named line ranges are found by the functions they hold, so they follow edits of the file. The
# region "tables" takes the whole file but only the table operator (swapped table entries).
REGIONS = {
    "frame-names": ["SplitFrameName", "BuildAnimations", "CheckAnimations"],
    "key-frames": ["NextKeyFrame", "StepAnimation", "DrawKeyFrames"],
    "settings": ["ReadSettings", "ReadSettingsFrom", "LoadSettings"],
}

STATUSES = ["killed", "survived", "equivalent", "timeout", "no-compile"]


# ---- reading the source ----


def mask_line(line, state):
    """The line with comments and the insides of string and character literals blanked, so the
    operators only see code. state carries an open block comment across lines."""
    out = []
    i = 0
    n = len(line)
    while i < n:
        if state["block"]:
            end = line.find("*/", i)
            if end < 0:
                out.append(" " * (n - i))
                return "".join(out)
            out.append(" " * (end + 2 - i))
            i = end + 2
            state["block"] = False
            continue
        c = line[i]
        if line.startswith("//", i):
            out.append(" " * (n - i))
            break
        if line.startswith("/*", i):
            state["block"] = True
            out.append("  ")
            i += 2
            continue
        if c in "\"'":
            j = i + 1
            while j < n and line[j] != c:
                j += 2 if line[j] == "\\" else 1
            out.append(c + " " * (min(j, n) - i - 1) + (c if j < n else ""))
            i = j + 1
            continue
        out.append(c)
        i += 1
    return "".join(out)


def function_ranges(masked, names):
    """Line ranges (0-based, inclusive) of the bodies of the named functions."""
    ranges = []
    for idx, line in enumerate(masked):
        for name in names:
            if re.search(r"\b%s\(" % re.escape(name), line) and not line.rstrip().endswith(";") \
                    and not line.startswith((" ", "\t")):
                depth = 0
                seen = False
                for j in range(idx, len(masked)):
                    depth += masked[j].count("{") - masked[j].count("}")
                    seen = seen or "{" in masked[j]
                    if seen and depth <= 0:
                        ranges.append((idx, j))
                        break
    return ranges


def matching_paren(text, open_at):
    depth = 0
    for k in range(open_at, len(text)):
        if text[k] == "(":
            depth += 1
        elif text[k] == ")":
            depth -= 1
            if depth == 0:
                return k
    return -1


def split_args(text, start, end):
    """Spans of the top-level comma-separated arguments of text[start:end]."""
    spans = []
    depth = 0
    begin = start
    for k in range(start, end):
        c = text[k]
        if c in "([{":
            depth += 1
        elif c in ")]}":
            depth -= 1
        elif c == "<" and re.match(r"<[\w:]+>", text[k:]):
            depth += 1
        elif c == ">" and depth > 0 and re.match(r"[\w:]", text[k - 1]) and "<" in text[begin:k]:
            depth -= 1
        elif c == "," and depth == 0:
            spans.append((begin, k))
            begin = k + 1
    spans.append((begin, end))
    return [(a + len(text[a:b]) - len(text[a:b].lstrip()), b - (len(text[a:b]) - len(text[a:b].rstrip())))
            for a, b in spans]


# ---- the catalogue ----

SWAPS = {
    # comparison flipped or made (non-)inclusive
    " < ": [" <= ", " > "], " <= ": [" < ", " > "], " > ": [" >= ", " < "],
    " >= ": [" > ", " < "], " == ": [" != "], " != ": [" == "],
    # arithmetic swapped
    " + ": [" - "], " - ": [" + "], " * ": [" / "], " / ": [" * "], " % ": [" / "],
    " += ": [" -= "], " -= ": [" += "], " *= ": [" /= "], " /= ": [" *= "],
    # logic swapped
    " && ": [" || "], " || ": [" && "],
}
OP_KIND = {" < ": "cmp", " <= ": "cmp", " > ": "cmp", " >= ": "cmp", " == ": "cmp", " != ": "cmp",
           " && ": "logic", " || ": "logic"}
MEMBERS = {".x": ".y", ".y": ".z", ".z": ".x", "->x": "->y", "->y": "->z", "->z": "->x",
           "m_PosX": "m_PosZ", "m_PosY": "m_PosX", "m_PosZ": "m_PosY", "width": "height",
           "height": "width"}
NUMBER = re.compile(r"(?<![\w.])(\d+\.\d*|\d+)(f|u|U|ull|ULL|ll|LL)?(?![\w.])")
CALL_STATEMENT = re.compile(r"^\s*(?:[A-Za-z_][\w:]*(?:\.|->))*[A-Za-z_][\w:]*\(.*\);\s*$")
KEYWORDS = {"return", "if", "while", "for", "switch", "sizeof", "static_assert", "delete", "case",
            "static_cast", "reinterpret_cast", "const_cast"}


class Mutant:
    def __init__(self, path, line_no, col, op, before, after, line_text):
        self.path = path
        self.line_no = line_no  # 1-based
        self.col = col
        self.op = op
        self.before = before
        self.after = after
        self.new_line = line_text[:col] + after + line_text[col + len(before):]
        self.orig_line = line_text
        self.extra = []  # (1-based line, its new text): a change that spans two lines
        self.status = None
        self.seconds = 0.0
        self.detail = ""

    def key(self):
        return "%s:%d: %s" % (self.path, self.line_no, self.change())

    def change(self):
        return "%s '%s' -> '%s'" % (self.op, self.before.strip() or self.before,
                                   self.after.strip() or "(removed)") + (" @%d" % (self.col + 1))


def mutants_of_line(path, line_no, text, masked):
    found = []
    stripped = masked.strip()
    if not stripped or stripped.startswith("#") or stripped.startswith("static_assert"):
        return found

    def add(col, op, before, after):
        found.append(Mutant(path, line_no, col, op, before, after, text))

    # Binary operators: clang-format spaces them, which tells them from template brackets,
    # pointers and unary signs.
    for token, repls in SWAPS.items():
        for m in re.finditer(re.escape(token), masked):
            col = m.start()
            if token in (" < ", " > ") and (masked[col + 3:col + 4] == "<" or masked[col - 1] in "<>"):
                continue
            if token in (" * ", " / ") and re.match(r"\s*(const\b|\w+\s*[=;,)])", masked[col + 3:]) and \
                    re.search(r"\b(const|int|float|char|uint8_t|tVec3|void|auto)\s*$", masked[:col]):
                continue  # a pointer declaration
            for r in repls:
                add(col, OP_KIND.get(token, "arith"), token, r)

    # Constants moved by one (not array sizes in declarations, not inside a template argument).
    for m in NUMBER.finditer(masked):
        num, suffix = m.group(1), m.group(2) or ""
        if masked[:m.start()].rstrip().endswith(("<", "[")) and re.match(r"\s*[\]>]", masked[m.end():]) \
                and re.search(r"\b(const|constexpr|static)?\s*[\w:]+\s+\w+\s*\[$", masked[:m.start()]):
            continue
        if "." in num:
            value = float(num)
            for delta in (1.0, -1.0):
                add(m.start(), "const", m.group(0), repr(value + delta) + ("f" if suffix == "f" else ""))
        else:
            value = int(num)
            add(m.start(), "const", m.group(0), str(value + 1) + suffix)
            if value > 0:
                add(m.start(), "const", m.group(0), str(value - 1) + suffix)

    # Boolean conditions negated or forced, and boolean literals flipped.
    for m in re.finditer(r"\b(if|while) \(", masked):
        open_at = m.end() - 1
        close = matching_paren(masked, open_at)
        if close < 0:
            continue
        cond = text[open_at + 1:close]
        add(open_at + 1, "cond", cond, "!(%s)" % cond)
        add(open_at + 1, "cond", cond, "true")
        add(open_at + 1, "cond", cond, "false")
    for m in re.finditer(r"\b(true|false)\b", masked):
        add(m.start(), "bool", m.group(1), "false" if m.group(1) == "true" else "true")
    for m in re.finditer(r"(?<=[(\s])!(?=[\w(])", masked):
        if masked[m.start():m.start() + 2] != "!=":
            add(m.start(), "cond", "!", "")

    # A call statement removed.
    if CALL_STATEMENT.match(masked) and matching_paren(masked, masked.index("(")) == len(masked.rstrip()) - 2:
        name = re.match(r"\s*([\w:.>-]+)\(", masked).group(1).split(":")[-1]
        if name not in KEYWORDS:
            indent = len(text) - len(text.lstrip())
            add(indent, "call", text.strip(), "")

    # Argument pairs and array indices swapped.
    for m in re.finditer(r"\b([A-Za-z_]\w*)\(", masked):
        if m.group(1) in KEYWORDS:
            continue
        open_at = m.end() - 1
        close = matching_paren(masked, open_at)
        if close < 0:
            continue
        args = split_args(masked, open_at + 1, close)
        if len(args) < 2 or any(a >= b for a, b in args):
            continue
        for k in range(len(args) - 1):
            (a0, a1), (b0, b1) = args[k], args[k + 1]
            x, y = text[a0:a1], text[b0:b1]
            if x == y:
                continue
            add(a0, "args", text[a0:b1], y + text[a1:b0] + x)
    for m in re.finditer(r"\[([^\[\]]+)\]\[([^\[\]]+)\]", masked):
        if m.group(1) != m.group(2):
            before = text[m.start():m.end()]
            add(m.start(), "index", before, "[%s][%s]" % (text[m.start(2):m.end(2)], text[m.start(1):m.end(1)]))

    # A member replaced by a sibling of the same type.
    for token, repl in MEMBERS.items():
        pattern = re.escape(token) + r"\b" if token[0] in ".-" else r"\b" + token + r"\b"
        for m in re.finditer(pattern, masked):
            add(m.start(), "member", token, repl)
    return found


def entry_value(masked, a, b):
    """The span of what the table entry masked[a:b] gives: a designated entry's value, a key-value
    pair's second field, a row's or a plain entry's whole text."""
    m = re.match(r"\.\w+ = ", masked[a:b])
    if m:
        return (a + m.end(), b)
    if masked[a] == "{" and masked[b - 1] == "}":
        fields = split_args(masked, a + 1, b - 1)
        if len(fields) == 2 and all(x < y for x, y in fields):
            return fields[1]
    return (a, b)


def swap_spans(path, lines, first, second):
    """The mutant that swaps the texts of two spans, each (0-based line, start, end)."""
    (j, a0, a1), (k, b0, b1) = first, second
    x, y = lines[j][a0:a1], lines[k][b0:b1]
    if j == k:
        text = lines[j]
        return Mutant(path, j + 1, a0, "table", text[a0:b1], y + text[a1:b0] + x, text)
    mutant = Mutant(path, j + 1, a0, "table", x, "<-> " + y, lines[j])
    mutant.new_line = lines[j][:a0] + y + lines[j][a1:]
    mutant.extra = [(k + 1, lines[k][:b0] + x + lines[k][b1:])]
    return mutant


def table_mutants(path, lines, masked, allowed):
    """The values of two neighbouring entries of a brace-initialised table swapped: an array
    written on one line (a[] = {x, y, z}), or a table of one or more entries a line."""
    found = []
    for idx, line in enumerate(masked):
        if allowed is not None and idx not in allowed:
            continue
        entries = []  # (line, start, end) of each entry, in order
        for m in re.finditer(r"\] = \{", line):
            open_at = m.end() - 1
            depth = 0
            for k in range(open_at, len(line)):
                depth += {"{": 1, "}": -1}.get(line[k], 0)
                if depth == 0:
                    entries = [(idx, a, b) for a, b in split_args(line, open_at + 1, k) if a < b]
                    break
        if line.rstrip().endswith("= {") and not line.lstrip().startswith("#"):
            # Entries on the following lines, up to the line that closes the table; a line that
            # is not whole entries ends it.
            for j in range(idx + 1, len(masked)):
                body = masked[j].rstrip()
                if body.strip() in ("};", "}"):
                    break
                if body.count("{") != body.count("}") or body.count("(") != body.count(")"):
                    entries = []
                    break
                indent = len(body) - len(body.lstrip())
                entries.extend((j, a, b) for a, b in split_args(masked[j], indent, len(body)) if a < b)
        values = [(j,) + entry_value(masked[j], a, b) for j, a, b in entries]
        for first, second in zip(values, values[1:]):
            if second[0] - first[0] > 1:
                continue
            if lines[first[0]][first[1]:first[2]] != lines[second[0]][second[1]:second[2]]:
                found.append(swap_spans(path, lines, first, second))
    return found


def collect(targets):
    mutants = []
    for path, region in targets:
        with open(os.path.join(ROOT, path)) as f:
            lines = f.read().split("\n")
        state = {"block": False}
        masked = [mask_line(line, state) for line in lines]
        allowed = None
        if region and region != "tables":
            allowed = set()
            for a, b in function_ranges(masked, REGIONS[region]):
                allowed.update(range(a, b + 1))
        if region != "tables":
            for idx, line in enumerate(lines):
                if allowed is not None and idx not in allowed:
                    continue
                mutants.extend(mutants_of_line(path, idx + 1, line, masked[idx]))
        mutants.extend(table_mutants(path, lines, masked, allowed))
    return mutants


# ---- building and testing ----


def run(cmd, cwd, timeout=None, env=None):
    return subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          timeout=timeout, env=env, text=True, errors="replace")


def suites_of(folder):
    """The gtest suite names defined under tests/<folder>/, as a filter."""
    names = set()
    test_dir = os.path.join(ROOT, "tests", folder)
    for dirpath, _, files in os.walk(test_dir):
        for name in files:
            if name.endswith(".cpp"):
                with open(os.path.join(dirpath, name)) as f:
                    names.update(re.findall(r"^\s*TEST(?:_F|_P)?\(\s*(\w+)\s*,", f.read(), re.M))
    return ":".join(sorted(n + ".*" for n in names)) or "*"


def sync_tree(source, copy):
    """Makes copy hold the sources as they are (not the builds, not git's data). Unchanged files
    are not touched, so the scratch build recompiles only what changed."""
    skip = re.compile(r"^(build.*|\.git|Data|out)$")
    wanted = set()
    for dirpath, dirnames, files in os.walk(source):
        rel = os.path.relpath(dirpath, source)
        if rel == ".":
            dirnames[:] = [d for d in dirnames if not skip.match(d)]
            files = [f for f in files if not skip.match(f)]
        os.makedirs(os.path.join(copy, rel), exist_ok=True)
        for name in files:
            src = os.path.join(dirpath, name)
            dst = os.path.join(copy, rel, name)
            wanted.add(os.path.normpath(dst))
            with open(src, "rb") as f:
                data = f.read()
            if os.path.exists(dst):
                with open(dst, "rb") as f:
                    if f.read() == data:
                        continue
            shutil.copyfile(src, dst)  # a fresh time, newer than any object built from a mutant
    for dirpath, _, files in os.walk(copy):
        for name in files:
            path = os.path.normpath(os.path.join(dirpath, name))
            if path not in wanted:
                os.remove(path)


class Workspace:
    """A copy of the sources and a fast build of the unit tests (-O0, no debug info, lld)."""

    def __init__(self, work, jobs):
        self.src = os.path.join(work, "src")
        self.build = os.path.join(work, "build")
        self.jobs = jobs
        self.binary = os.path.join(self.build, "ostravel_tests")
        self.slow = []
        self.env = dict(os.environ, TEST_TMPDIR=os.path.join(self.build, "test-tmp") + "/")

    def prepare(self, shards, paths):
        os.makedirs(self.src, exist_ok=True)
        sync_tree(ROOT, self.src)
        # A run stopped while a mutant compiled can leave that mutant's object newer than the
        # restored source: the files under test are always rebuilt once.
        for path in paths:
            os.utime(os.path.join(self.src, path))
        if not os.path.exists(os.path.join(self.build, "CMakeCache.txt")):
            cfg = ["cmake", "-S", self.src, "-B", self.build, "-DBUILD_TESTING=ON",
                   "-DCMAKE_BUILD_TYPE=Debug", "-DCMAKE_CXX_FLAGS_DEBUG=-O0",
                   "-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld"]
            r = run(cfg, self.src)
            if r.returncode != 0:
                sys.exit("mutate: configuring failed\n" + r.stdout[-3000:])
        r = run(["cmake", "--build", self.build, "-j%d" % self.jobs, "--target", "ostravel_tests",
                 "gamedata"], self.src)
        if r.returncode != 0:
            sys.exit("mutate: the unmutated tests do not build\n" + r.stdout[-3000:])
        os.makedirs(os.path.join(self.build, "test-tmp"), exist_ok=True)
        started = time.time()
        r = run([self.binary], self.build, env=self.env)
        if r.returncode != 0:
            sys.exit("mutate: the unmutated unit suite does not pass\n" + r.stdout[-3000:])
        # Tests of half a second or more run after the rest, so that most mutants are caught
        # by the quick ones first.
        self.slow = [name for name, ms in re.findall(r"\[       OK \] (\S+) \((\d+) ms\)", r.stdout)
                     if int(ms) >= 500]
        return time.time() - started

    def compile(self):
        r = run(["cmake", "--build", self.build, "-j%d" % self.jobs, "--target", "ostravel_tests"],
                self.src)
        return r.returncode == 0

    def test(self, gtest_filter, timeout, shards=1):
        """Runs the filtered tests, stopping at the first failure; with shards > 1 in that many
        processes at once (each test runs in one of them)."""
        cmd = [self.binary, "--gtest_filter=" + gtest_filter, "--gtest_brief=1",
               "--gtest_fail_fast=1"]
        procs = []
        for index in range(shards):
            env = dict(self.env, GTEST_TOTAL_SHARDS=str(shards), GTEST_SHARD_INDEX=str(index))
            procs.append(subprocess.Popen(cmd, cwd=self.build, env=env, stdout=subprocess.PIPE,
                                          stderr=subprocess.STDOUT, text=True, errors="replace"))
        deadline = time.time() + (timeout or 3600.0)
        result = "pass"
        for p in procs:
            try:
                out, _ = p.communicate(timeout=max(0.1, deadline - time.time()))
            except subprocess.TimeoutExpired:
                for q in procs:
                    q.kill()
                    q.communicate()
                return "timeout"
            if p.returncode != 0 and result == "pass":
                failed = re.findall(r"\[  FAILED  \] (\S+)", out)
                result = "fail " + (failed[0] if failed else "(exit %d)" % p.returncode)
        return result


def apply(ws, mutant, original):
    lines = original.split("\n")
    lines[mutant.line_no - 1] = mutant.new_line
    for line_no, text in mutant.extra:
        lines[line_no - 1] = text
    with open(os.path.join(ws.src, mutant.path), "w") as f:
        f.write("\n".join(lines))


def restore(ws, path, original):
    with open(os.path.join(ws.src, path), "w") as f:
        f.write(original)


def read_equivalent(path):
    keys = {}
    if os.path.exists(path):
        with open(path) as f:
            for line in f:
                line = line.rstrip("\n")
                if line.strip() and not line.startswith("#") and " | " in line:
                    key, why = line.split(" | ", 1)
                    keys[key.strip()] = why.strip()
    return keys


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("files", nargs="*", help="source files relative to the repository (default: "
                    "the game's rules, see DEFAULT_TARGETS)")
    ap.add_argument("--sample", type=int, default=0, help="test only N mutants, drawn at random")
    ap.add_argument("--seed", type=int, default=1, help="seed of the sample")
    ap.add_argument("--list", action="store_true", help="list the mutants and stop")
    ap.add_argument("--keys", default="",
                    help="run only the mutants whose keys (as the report prints them) this file "
                    "lists, one a line: a report's survivors again")
    ap.add_argument("--timeout", type=float, default=0,
                    help="seconds per test run (default: 5 x the unmutated suite, at least 20)")
    ap.add_argument("--work", default=os.path.join(ROOT, "build-mutate"),
                    help="scratch directory for the copy and its build")
    ap.add_argument("--report", default="", help="report file (default: WORK/report.txt)")
    ap.add_argument("--jobs", type=int, default=2, help="build jobs")
    ap.add_argument("--shards", type=int, default=1,
                    help="processes that share the whole suite's tests")
    ap.add_argument("--equivalent", default=os.path.join(ROOT, "tools/mutate/equivalent.txt"),
                    help="the mutants known to change no behaviour, with the reason for each")
    args = ap.parse_args()

    targets = [(f, None) for f in args.files] or DEFAULT_TARGETS
    mutants = collect(targets)
    total = len(mutants)
    if args.sample and args.sample < total:
        # Drawn by a hash of each mutant's text and the seed, so a sample stays nearly the same
        # when the sources change elsewhere.
        def rank(m):
            return hashlib.sha1(("%d %s" % (args.seed, m.key())).encode()).hexdigest()
        mutants = sorted(mutants, key=rank)[:args.sample]
        mutants.sort(key=lambda m: (m.path, m.line_no, m.col, m.op, m.after))
    if args.keys:
        with open(args.keys) as f:
            wanted = {line.strip() for line in f if line.strip()}
        mutants = [m for m in mutants if m.key() in wanted]
    if args.list:
        for m in mutants:
            print(m.key())
        print("%d mutants (of %d)" % (len(mutants), total))
        return 0

    ws = Workspace(os.path.abspath(args.work), args.jobs)
    base = ws.prepare(args.shards, sorted({m.path for m in mutants}))
    timeout = args.timeout or max(20.0, 5.0 * base)
    report_path = args.report or os.path.join(ws.build, "..", "report.txt")
    print("mutate: %d mutants (of %d), unmutated suite %.1f s, limit %.0f s per run" %
          (len(mutants), total, base, timeout), flush=True)

    started = time.time()
    originals = {}
    try:
        for i, m in enumerate(mutants):
            t0 = time.time()
            if m.path not in originals:
                with open(os.path.join(ws.src, m.path)) as f:
                    originals[m.path] = f.read()
            apply(ws, m, originals[m.path])
            try:
                if not ws.compile():
                    m.status = "no-compile"
                else:
                    folder = m.path.split("/")[0]
                    quick = suites_of(folder) + "-" + ":".join(ws.slow)
                    r = ws.test(quick, timeout)
                    if r == "pass":
                        r = ws.test("*", timeout, args.shards)
                    if r == "pass":
                        m.status = "survived"
                    elif r == "timeout":
                        m.status = "timeout"
                    else:
                        m.status = "killed"
                        m.detail = r[5:]
            finally:
                restore(ws, m.path, originals[m.path])
            m.seconds = time.time() - t0
            print("[%d/%d] %-10s %s (%.0f s)" % (i + 1, len(mutants), m.status, m.key(), m.seconds),
                  flush=True)
    except KeyboardInterrupt:
        print("mutate: interrupted; the report holds the mutants run so far")
    finally:
        for path, text in originals.items():
            restore(ws, path, text)
    elapsed = time.time() - started

    # Read at the end, so that lines written while a run goes on count.
    equivalent = read_equivalent(args.equivalent)
    done = [m for m in mutants if m.status]
    for m in done:
        if m.status == "survived" and m.key() in equivalent:
            m.status = "equivalent"
    counts = {s: sum(1 for m in done if m.status == s) for s in STATUSES}
    judged = len(done) - counts["equivalent"] - counts["no-compile"]
    caught = counts["killed"] + counts["timeout"]
    score = 100.0 * caught / judged if judged else 100.0
    stale = [k for k in equivalent if any(m.key() == k and m.status in ("killed", "timeout")
                                          for m in done)]
    summary = [
        "files: %s" % ", ".join(p + ("" if r is None else " (%s)" % r) for p, r in targets),
        "mutants: %d run of %d%s" % (len(done), total, (" (sample %d, seed %d)" % (args.sample, args.seed))
                                    if args.sample else ""),
        "killed: %d, timed out: %d, survived: %d, equivalent: %d, does not compile: %d" %
        (counts["killed"], counts["timeout"], counts["survived"], counts["equivalent"],
         counts["no-compile"]),
        "score: %.1f %% of the non-equivalent mutants that compile are killed or time out" % score,
        "time: %.1f min (%.1f s per mutant)" % (elapsed / 60.0, elapsed / max(1, len(done))),
    ]
    with open(report_path, "w") as f:
        f.write("\n".join(summary) + "\n\n")
        for s in ["survived", "timeout", "no-compile", "equivalent", "killed"]:
            for m in done:
                if m.status == s:
                    f.write("%-10s %s%s\n" % (s, m.key(), ("  [" + m.detail + "]") if m.detail else ""))
                    if s == "survived":
                        f.write("           %s\n" % m.new_line.strip())
                        for _, text in m.extra:
                            f.write("           %s\n" % text.strip())
        for k in stale:
            f.write("stale equivalent entry (now killed): %s\n" % k)
    print("\n".join(summary))
    print("report: %s" % os.path.abspath(report_path))
    return 0 if counts["survived"] == 0 else 1


if __name__ == "__main__":
    # A closed pipe (mutate.py --list | head) ends the listing quietly, as it would any shell tool.
    signal.signal(signal.SIGPIPE, signal.SIG_DFL)
    sys.exit(main())

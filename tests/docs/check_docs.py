#!/usr/bin/env python3
"""Holds the README and CONTRIBUTING.md to the tree they describe.

    tests/docs/check_docs.py SOURCE_DIR BUILD_DIR GAME

Marked parts of the documents (HTML comments, invisible when rendered):

    <!-- docs-check: run [exit=N] [timeout=S] [display] -->   before a fenced block
    <!-- docs-check: LIST --> ... <!-- docs-check: end -->      around a list or a table

A run block is typed into one bash shell (stopping at the first failing line) in a scratch copy
of the source tree whose build/ is BUILD_DIR, with a scratch home; it must end with exit code N
(default 0) and never print a Python traceback. With timeout=S it starts the game, which must
still be running after S seconds without having reported a problem; display runs it on a private
X server. The lists are compared, both ways, with what the tree says at run time:

    e2e-tests       `ctest -N -L e2e` in BUILD_DIR
    script-grammar  the words the input-script parser compares against
    options         the options of GAME --help
    exit-status     the exit codes of GAME --help
    preferences     the keys of GAME --help's "Settings file" section
    fuzz-targets    fuzz/fuzz_*.cpp, and the game's files that read outside data
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile

DOCS = ["README.md", "CONTRIBUTING.md"]
REQUIRED = ["run", "e2e-tests", "script-grammar", "options", "exit-status", "preferences",
            "fuzz-targets"]
MARK = re.compile(r"^<!-- docs-check: (\S+)(.*?) -->\s*$")

# Files that open files for reading but parse nothing themselves, and why.
NOT_READERS = {
    "platform/": "the operating system layer: the read primitive, and the sound backends hand "
                     "the shot's WAV file to SDL_mixer",
    "render/textures.cpp": "only asks whether a bitmap opens; render/bmp_reader.cpp reads it",
}

failures = []


def fail(where, message):
    failures.append("%s: %s" % (where, message))


def compare(where, what, documented, actual):
    """Both ways: what the document names that the tree lacks, and what it leaves out."""
    for name in sorted(set(documented) - set(actual)):
        fail(where, "%s: the document names '%s', which the tree does not have" % (what, name))
    for name in sorted(set(actual) - set(documented)):
        fail(where, "%s: '%s' is in the tree but missing from the document" % (what, name))


def read_marks(path):
    """(kind, options, line number, text) for each marked part of the file."""
    lines = open(path, encoding="utf-8").read().split("\n")
    parts = []
    i = 0
    while i < len(lines):
        m = MARK.match(lines[i])
        if not m or m.group(1) == "end":
            i += 1
            continue
        kind, options, start = m.group(1), m.group(2).split(), i + 1
        body = []
        if kind == "run":
            j = i + 1
            while j < len(lines) and not lines[j].strip():
                j += 1
            if j >= len(lines) or not lines[j].startswith("```"):
                fail("%s:%d" % (path, start), "a run mark must stand before a fenced block")
                i += 1
                continue
            j += 1
            while j < len(lines) and not lines[j].startswith("```"):
                body.append(lines[j])
                j += 1
        else:
            j = i + 1
            while j < len(lines) and lines[j].strip() != "<!-- docs-check: end -->":
                body.append(lines[j])
                j += 1
            if j >= len(lines):
                fail("%s:%d" % (path, start), "'%s' has no <!-- docs-check: end -->" % kind)
        parts.append((kind, options, start, "\n".join(body)))
        i = j + 1
    return parts


def help_section(help_text, title):
    """The lines of one section of --help ("Options:" up to the next blank line)."""
    lines = help_text.split("\n")
    if title not in lines:
        return []
    section = lines[lines.index(title) + 1:]
    return section[:section.index("")] if "" in section else section


# ---- what the tree says ----


def tree_e2e(build):
    out = subprocess.run(["ctest", "--test-dir", build, "-N", "-L", "e2e"], capture_output=True,
                         text=True, check=True).stdout
    return re.findall(r"Test +#\d+: e2e\.(\S+)", out)


def tree_script_words(source):
    parser = open(os.path.join(source, "replay/input_script.cpp"), encoding="utf-8").read()
    names = re.search(r"kKeyNames\[[^\]]*\] = \{([^}]*)\}", parser)
    words = set(re.findall(r'"([a-z0-9_]+)"', names.group(1))) if names else set()
    return words | set(re.findall(r'== "([a-z0-9_]+)"', parser))


def tree_readers(source):
    """The game's source files that open a file for reading."""
    rooms = [line.split()[1] for line in open(os.path.join(source, "tools/layers.txt"))
             if line[:1].isdigit()]
    opens = re.compile(r'std::ifstream|ReadWholeFile\(|fopen\([^;]*"r')
    found = []
    for room in rooms:
        folder = os.path.join(source, room)
        for name in sorted(os.listdir(folder)):
            rel = "%s/%s" % (room, name)
            if not name.endswith(".cpp") or any(rel.startswith(k) for k in NOT_READERS):
                continue
            if opens.search(open(os.path.join(folder, name), encoding="utf-8").read()):
                found.append(rel)
    return found


# ---- the lists ----


def check_list(kind, where, body, source, build, help_text):
    if kind == "e2e-tests":
        named = re.findall(r"^- ((?:`[a-z0-9_]+`(?:, )?)+):", body, re.M)
        compare(where, "end-to-end tests", re.findall(r"`([a-z0-9_]+)`", " ".join(named)),
                tree_e2e(build))
    elif kind == "script-grammar":
        documented = set(re.findall(r"\b[a-z][a-z0-9_]*\b", body))
        compare(where, "input-script words", documented, tree_script_words(source))
    elif kind == "options":
        documented = re.findall(r"`(--[a-z-]+(?:=[a-z]+)?)", "\n".join(
            line.split("|")[1] for line in body.split("\n") if line.count("|") >= 3))
        actual = re.findall(r"^  (--[a-z-]+(?:=[a-z]+)?)", "\n".join(
            help_section(help_text, "Options:")), re.M)
        compare(where, "options of --help", documented, actual)
    elif kind == "exit-status":
        documented = re.findall(r"^\| *`?(\d+)`? *\|", body, re.M)
        actual = re.findall(r"^  (\d+) ", "\n".join(help_section(help_text, "Exit status:")),
                            re.M)
        compare(where, "exit codes of --help", documented, actual)
    elif kind == "preferences":
        documented = re.findall(r"`([a-z_]+) =", body)
        actual = re.findall(r"^  ([a-z_]+) =", "\n".join(
            help_section(help_text, "Settings file:")), re.M)
        compare(where, "ostravel.conf keys of --help", documented, actual)
    elif kind == "fuzz-targets":
        rows = re.findall(r"^\| *`([^`]+\.cpp)`[^|]*\| *`(fuzz_[a-z0-9_]+)`", body, re.M)
        targets = [f[:-4] for f in os.listdir(os.path.join(source, "fuzz"))
                   if re.match(r"fuzz_.*\.cpp$", f)]
        compare(where, "fuzz targets", [t for _, t in rows], targets)
        compare(where, "readers of outside data", [r for r, _ in rows], tree_readers(source))
        for reader, target in rows:
            path = os.path.join(source, "fuzz", target + ".cpp")
            header = '#include "%s.h"' % reader[:-4]
            if os.path.exists(path) and header not in open(path, encoding="utf-8").read():
                fail(where, "%s does not include %s's header, so it does not fuzz it" %
                     (target, reader))
    else:
        fail(where, "unknown list '%s'" % kind)


# ---- the runnable blocks ----


def scratch_tree(source, build, scratch):
    tree = os.path.join(scratch, "tree")
    shutil.copytree(source, tree, symlinks=True, ignore=lambda d, names: [
        n for n in names if d == source and (n.startswith("build") or n == ".git")])
    # build/ links to each thing the real build holds, so what a command writes there stays in
    # the scratch copy.
    os.mkdir(os.path.join(tree, "build"))
    for name in os.listdir(build):
        if name == "Testing":  # ctest's own logs stay apart from the outer run's
            continue
        os.symlink(os.path.join(build, name), os.path.join(tree, "build", name))
    return tree


def game_processes(group):
    """The game's processes in the process group of a run block."""
    found = []
    for entry in os.listdir("/proc"):
        try:
            with open("/proc/%s/stat" % entry) as stat:
                fields = stat.read().rsplit(")", 1)
            name = fields[0].split("(", 1)[1]
            if name == "ostravel" and int(fields[1].split()[2]) == group:
                found.append(int(entry))
        except (OSError, ValueError, IndexError):
            pass
    return found


def check_run(where, options, body, tree, scratch):
    opts = dict(o.split("=", 1) if "=" in o else (o, "") for o in options)
    want = int(opts.get("exit", "0"))
    timeout = float(opts["timeout"]) if "timeout" in opts else None
    home = tempfile.mkdtemp(dir=scratch, prefix="home")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/.config",
               XDG_DATA_HOME=home + "/.local/share", PYTHONDONTWRITEBYTECODE="1")
    # The failing line is named, as a reader would see it in the terminal.
    command = ["bash", "-e", "-c", "trap 'echo \"docs check: failed at: $BASH_COMMAND\"' ERR\n" +
               body]
    if "display" in opts:
        if shutil.which("xvfb-run") is None:
            fail(where, "needs xvfb-run: apt-get install xvfb xauth")
            return
        command = ["xvfb-run", "-a", "-s", "-screen 0 1024x768x24"] + command
    shown = "\n    ".join(body.split("\n"))
    proc = subprocess.Popen(command, cwd=tree, env=env, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, text=True, start_new_session=True)
    try:
        output, _ = proc.communicate(timeout=timeout if timeout else 300)
        still_running = False
    except subprocess.TimeoutExpired:
        # The game first, as a player's close would end it; only then its X server, whose end
        # under a running game would be reported as a lost display.
        for pid in game_processes(proc.pid):
            os.kill(pid, signal.SIGTERM)
        try:
            proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            pass
        os.killpg(proc.pid, signal.SIGTERM)
        output, _ = proc.communicate()
        still_running = True
    if "Traceback (most recent call last)" in output:
        fail(where, "a Python traceback from\n    %s\n%s" % (shown, output[-2000:]))
    elif timeout:
        problem = re.search(r".*(Error|not found|cannot|Setup\.ini).*", output)
        if not still_running:
            fail(where, "the game should still run after %g s, but ended with exit code %d:\n"
                 "    %s\n%s" % (timeout, proc.returncode, shown, output[-2000:]))
        elif problem:
            fail(where, "the game reported a problem: %s\n    %s" % (problem.group(0), shown))
    elif still_running:
        fail(where, "still running after 300 s:\n    %s" % shown)
    elif proc.returncode != want:
        fail(where, "exit code %d, not %d, from\n    %s\n%s" % (proc.returncode, want, shown,
                                                             output[-2000:]))


def main():
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    source, build, game = (os.path.abspath(a) for a in sys.argv[1:])
    help_text = subprocess.run([game, "--help"], capture_output=True, text=True).stdout
    scratch = tempfile.mkdtemp(prefix="docs-check-")
    runs = 0
    try:
        tree = None
        for doc in DOCS:
            path = os.path.join(source, doc)
            if not os.path.exists(path):
                fail(doc, "missing")
                continue
            for kind, options, line, body in read_marks(path):
                where = "%s:%d" % (doc, line)
                if kind == "run":
                    tree = tree or scratch_tree(source, build, scratch)
                    check_run(where, options, body, tree, scratch)
                    runs += 1
                else:
                    check_list(kind, where, body, source, build, help_text)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    marked = {kind for doc in DOCS if os.path.exists(os.path.join(source, doc))
              for kind, _, _, _ in read_marks(os.path.join(source, doc))}
    for kind in sorted(set(REQUIRED) - marked):
        fail("README.md", "the list '%s' is no longer marked" % kind)
    for f in failures:
        print("FAIL " + f)
    print("docs check: %d runnable blocks, %d failures" % (runs, len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

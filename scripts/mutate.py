#!/usr/bin/env python3
"""Fault injection for the core and the command line.

Copies the tracked tree into a scratch folder, injects one small fault at a time into
src/ files of the core layers and the command line, rebuilds incrementally only the
test programs that link the changed layer, runs them with a time limit, and reports
which faults the tests killed, which survived and which did not compile. The working
tree is never written to.

    scripts/mutate.py --seed 1 --count 60
    scripts/mutate.py --files src/heart/CentroidGrid.cpp --count 20
    scripts/mutate.py --seed 2 --count 60 --sanitize

Known equivalent faults (the program cannot behave differently) are listed in
scripts/mutation-equivalents.txt and left out of the score.
"""

import argparse
import os
import random
import resource
import re
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

# Layers in link order: a fault in one layer can only be seen by tests of that layer
# and of the layers above it.
LAYERS = ["geometry", "mesh", "heart", "growth", "conduction", "cli"]
LIBRARY_RANK = {f"vantrel_{name}": rank for rank, name in enumerate(LAYERS)}
SOURCE_SUFFIXES = (".cpp", ".h")

# The fixed operator set: (name, pattern on the masked line, replacement). Binary
# operators are matched only with a space on both sides, which is how the formatter
# writes them, so template brackets, unary signs, '->' and '<<' are never touched.
OPERATORS = [
    ("< to <=", r"(?<= )<(?= )", "<="),
    ("<= to <", r"(?<= )<=(?= )", "<"),
    ("> to >=", r"(?<= )>(?= )", ">="),
    (">= to >", r"(?<= )>=(?= )", ">"),
    ("== to !=", r"(?<= )==(?= )", "!="),
    ("!= to ==", r"(?<= )!=(?= )", "=="),
    ("+ to -", r"(?<= )\+(?= )", "-"),
    ("- to +", r"(?<= )-(?= )", "+"),
    ("+= to -=", r"(?<= )\+=(?= )", "-="),
    ("-= to +=", r"(?<= )-=(?= )", "+="),
    ("&& to ||", r"(?<= )&&(?= )", "||"),
    ("|| to &&", r"(?<= )\|\|(?= )", "&&"),
    ("return true to false", r"\breturn true;", "return false;"),
    ("return false to true", r"\breturn false;", "return true;"),
    ("drop !", r"(?<=[( ])!(?=[\w(])", ""),
]


def run(cmd, **kwargs):
    return subprocess.run(cmd, text=True, **kwargs)


LITERAL = "\x01"


def mask_code(text):
    """Returns text with comments replaced by spaces and string and character literals by
    LITERAL marks (newlines kept), so that positions still line up with the original."""
    out = list(text)
    i, n = 0, len(text)

    def blank(a, b, mark=" "):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = mark

    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            blank(i, j)
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            blank(i, j)
            i = j
        elif text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            open_paren = text.find("(", i)
            delim = text[i + 2 : open_paren]
            j = text.find(")" + delim + '"', open_paren)
            j = n if j < 0 else j + len(delim) + 2
            blank(i, j, LITERAL)
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            blank(i, min(j + 1, n), LITERAL)
            i = j + 1
        else:
            i += 1
    return "".join(out)


def loop_bound_sites(line):
    """The condition of a for loop written as 'a < b' (or <=, >, >=) without && or ||:
    yields (start, end) of the bound b on the masked line."""
    m = re.search(r"\bfor \(", line)
    if not m:
        return
    depth, semis = 1, []
    for k in range(m.end(), len(line)):
        ch = line[k]
        if ch == "(":
            depth += 1
        elif ch == ")":
            depth -= 1
            if depth == 0:
                break
        elif ch == ";" and depth == 1:
            semis.append(k)
    if len(semis) != 2:
        return
    cond = line[semis[0] + 1 : semis[1]]
    if "&&" in cond or "||" in cond or "?" in cond:
        return
    rel = re.search(r" (<|<=|>|>=) ", cond)
    if not rel:
        return
    start = semis[0] + 1 + rel.end()
    yield start, semis[1]


def find_sites(path, text):
    """Every place one operator of the fixed set applies: (line number, column,
    operator name, original snippet, replacement)."""
    masked = mask_code(text)
    sites = []
    for number, (line, code) in enumerate(zip(text.split("\n"), masked.split("\n")), 1):
        stripped = code.strip()
        if not stripped or stripped.startswith("#") or "static_assert" in code:
            continue
        for name, pattern, replacement in OPERATORS:
            for m in re.finditer(pattern, code):
                # '+' joining strings would only fail to compile.
                if name[0] in "+-" and LITERAL in (code[m.start() - 2], code[m.end() + 1 : m.end() + 2]):
                    continue
                sites.append((number, m.start(), m.end(), name, replacement))
        for start, end in loop_bound_sites(code):
            bound = line[start:end]
            sites.append((number, start, end, "loop bound +1", bound + " + 1"))
            sites.append((number, start, end, "loop bound -1", bound + " - 1"))
    return sites


class Mutant:
    def __init__(self, path, number, start, end, name, replacement, line):
        self.path, self.number, self.start, self.end = path, number, start, end
        self.name, self.replacement, self.line = name, replacement, line
        self.outcome, self.detail = None, ""

    def apply(self, text):
        lines = text.split("\n")
        old = lines[self.number - 1]
        lines[self.number - 1] = old[: self.start] + self.replacement + old[self.end :]
        return "\n".join(lines)

    def key(self):
        return (self.path, self.line.strip(), self.name)

    def describe(self):
        mutated = self.line[: self.start] + self.replacement + self.line[self.end :]
        return f"{self.path}:{self.number}: {self.name}: `{self.line.strip()}` -> `{mutated.strip()}`"


def load_equivalents(path):
    """scripts/mutation-equivalents.txt: 'file | original line | operator | why' per line."""
    found = {}
    if path.exists():
        for raw in path.read_text().splitlines():
            if not raw.strip() or raw.lstrip().startswith("#"):
                continue
            parts = [p.strip() for p in raw.split(" | ")]
            if len(parts) >= 3:
                found[(parts[0], parts[1], parts[2])] = parts[3] if len(parts) > 3 else ""
    return found


def layer_of(path):
    parts = Path(path).parts
    return parts[1] if len(parts) > 2 and parts[0] == "src" else None


def export_revision(repo, rev, folder):
    """The files of commit `rev`, unpacked into `folder` (emptied first)."""
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    archive = subprocess.run(["git", "archive", rev], cwd=repo, capture_output=True, check=True)
    subprocess.run(["tar", "-x", "-C", str(folder)], input=archive.stdout, check=True)
    return folder


def list_files(source, roots=()):
    """Tracked and new, unignored files of a working tree, or every file of an export."""
    if (source / ".git").exists():
        listed = run(["git", "ls-files", "-co", "--exclude-standard", "-z", "--", *roots],
                     cwd=source, capture_output=True, check=True).stdout.split("\0")
    else:
        tops = [source / r for r in roots] or [source]
        listed = [str(p.relative_to(source)) for top in tops if top.exists()
                  for p in ([top] if top.is_file() else top.rglob("*"))]
    return sorted(f for f in listed if f and (source / f).is_file())


def sync_tree(repo, tree):
    """Copies the tracked (and new, unignored) files of the working tree into the scratch
    tree, rewriting only files whose content differs so that the build stays incremental."""
    files = list_files(repo)
    manifest = tree / ".mutate-manifest"
    previous = set(manifest.read_text().split("\n")) if manifest.exists() else set()
    for stale in previous - set(files):
        if stale and (tree / stale).is_file():
            (tree / stale).unlink()
    for f in files:
        source, target = repo / f, tree / f
        data = source.read_bytes()
        if target.is_file() and target.read_bytes() == data:
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(data)
        shutil.copymode(source, target)
    manifest.write_text("\n".join(files))


def test_programs(tree):
    """(test name, library) for each GoogleTest program made by vantrel_test(); the
    program tests of the Qt application (app_*) are not run."""
    text = (tree / "tests" / "CMakeLists.txt").read_text()
    found = re.findall(r"^\s*vantrel_test\((\w+)\s+(\w+)", text, re.M)
    return [(name, lib) for name, lib in found if not name.startswith("app_")]


def configure(tree, build, sanitize, jobs):
    if (build / "build.ninja").exists():
        return
    # Optimised without debug information: compiling and linking are the cost per fault.
    flags = "-O1 -g0" if not sanitize else "-O1 -g1"
    cmd = ["cmake", "-S", str(tree), "-B", str(build), "-G", "Ninja",
           "-DCMAKE_BUILD_TYPE=RelWithDebInfo", f"-DCMAKE_CXX_FLAGS_RELWITHDEBINFO={flags} -DNDEBUG",
           "-DVANTREL_BUILD_APP=OFF", "-DVANTREL_BUILD_BENCH=OFF"]
    if shutil.which("ld.lld"):
        cmd.append("-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld")
    if sanitize:
        cmd.append("-DVANTREL_SANITIZE=ON")
    run(cmd, check=True, stdout=subprocess.DEVNULL)


def build_targets(build, targets, jobs, log):
    result = run(["cmake", "--build", str(build), "--target", *targets, "--", f"-j{jobs}"],
                 capture_output=True)
    log.write(result.stdout + result.stderr)
    return result.returncode == 0


def test_environment(tree, sanitize):
    env = dict(os.environ)
    env["LSAN_OPTIONS"] = f"suppressions={tree}/tests/lsan.supp"
    env["GTEST_BRIEF"] = "1"
    if sanitize:
        env["ASAN_OPTIONS"] = "detect_leaks=1"
        env["UBSAN_OPTIONS"] = "print_stacktrace=1:halt_on_error=1"
    return env


def run_program(build, name, env, limits):
    """Runs one test program; returns ('passed' | 'failed' | 'timeout', cpu seconds, wall
    seconds). The limit is on processor time (RLIMIT_CPU), which a loaded machine does
    not stretch; a generous wall-clock limit catches a program that waits without end."""
    cpu_limit, wall_limit = limits

    def limit_cpu():
        seconds = max(1, int(cpu_limit))
        resource.setrlimit(resource.RLIMIT_CPU, (seconds, seconds + 5))

    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.monotonic()
    try:
        result = run([str(build / "tests" / name)], cwd=build / "tests", env=env,
                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=wall_limit,
                     preexec_fn=limit_cpu)
        if result.returncode == -signal.SIGXCPU or result.returncode == -signal.SIGKILL:
            status = "timeout"
        else:
            status = "passed" if result.returncode == 0 else "failed"
    except subprocess.TimeoutExpired:
        status = "timeout"
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return status, cpu, time.monotonic() - start


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--count", type=int, default=60, help="faults to inject")
    parser.add_argument("--files", nargs="+", help="source files or folders to mutate")
    parser.add_argument("--work", default=os.environ.get("VANTREL_MUTATE_DIR", "/tmp/vantrel-mutate"),
                        help="scratch folder (kept between runs for incremental builds)")
    parser.add_argument("--sanitize", action="store_true",
                        help="use an AddressSanitizer/UBSan build (catches out-of-bounds faults)")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--time-factor", type=float, default=5.0,
                        help="limit per test program: this many times the processor time of its "
                        "clean run, at least 10 s")
    parser.add_argument("--rev", help="mutate this commit instead of the working tree")
    parser.add_argument("--faults", help="run only the faults listed in this report of an earlier "
                        "run (its 'survived:' lines), e.g. to check new tests against the survivors")
    parser.add_argument("--list", action="store_true", help="print the chosen faults and stop")
    parser.add_argument("--report", help="also write the report to this file")
    args = parser.parse_args()

    repo = Path(run(["git", "rev-parse", "--show-toplevel"], cwd=Path(__file__).parent,
                    capture_output=True, check=True).stdout.strip())
    work = Path(args.work).resolve()
    tree = work / "tree"
    build = work / ("build-asan" if args.sanitize else "build")
    if repo == tree or repo in tree.parents:
        sys.exit("the scratch folder must lie outside the working tree")

    # Every candidate site in the chosen files of the core and the command line.
    checkout = repo
    if args.rev:
        checkout = export_revision(repo, args.rev, work / "revision")
    roots = args.files or [f"src/{layer}" for layer in LAYERS]
    sources = [f for f in list_files(checkout, roots)
               if f.endswith(SOURCE_SUFFIXES) and layer_of(f) in LAYERS]
    if not sources:
        sys.exit("no core or command-line sources among --files")
    candidates = []
    for path in sources:
        text = (checkout / path).read_text()
        lines = text.split("\n")
        for number, start, end, name, replacement in find_sites(path, text):
            candidates.append(Mutant(path, number, start, end, name, replacement, lines[number - 1]))
    chosen = random.Random(args.seed).sample(candidates, min(args.count, len(candidates)))
    if args.faults:
        # Survivors, and faults whose only sign was a time-out (worth a second look).
        report = Path(args.faults).read_text()
        fault = r"\s+(\S+?):(\d+): ([^:]+): `(.*)` -> "
        wanted = set(re.findall(r"survived:?" + fault, report)) | set(
            re.findall(r"killed" + fault + r".*\(\S+ timeout\)$", report, re.M))
        # Matched by file, operator and line text (the nearest such site), so that the
        # faults are found again after unrelated edits have moved their lines.
        chosen = []
        for path, number, name, text in sorted(wanted):
            sites = [m for m in candidates
                     if (m.path, m.name, m.line.strip()) == (path, name, text)]
            if sites:
                chosen.append(min(sites, key=lambda m: abs(m.number - int(number))))
            else:
                print(f"not found any more: {path}:{number}: {name}: `{text}`")
    chosen.sort(key=lambda m: (m.path, m.number, m.start, m.name))
    print(f"{len(candidates)} sites in {len(sources)} files; {len(chosen)} faults, seed {args.seed}")
    if args.list:
        for m in chosen:
            print("  " + m.describe())
        return

    work.mkdir(parents=True, exist_ok=True)
    # Real meshes beside the project are found as ../shared/data from the tree.
    shared = repo.parent / "shared"
    if shared.is_dir() and not (work / "shared").exists():
        (work / "shared").symlink_to(shared)
    sync_tree(checkout, tree)
    configure(tree, build, args.sanitize, args.jobs)
    known = run(["cmake", "--build", str(build), "--target", "help"], capture_output=True).stdout
    programs = [(n, lib) for n, lib in test_programs(tree) if re.search(rf"^{n}:", known, re.M)]
    env = test_environment(tree, args.sanitize)
    log = open(work / "build.log", "w")

    def programs_for(path):
        rank = LIBRARY_RANK.get(f"vantrel_{layer_of(path)}", 0)
        return [name for name, lib in programs if LIBRARY_RANK.get(lib, len(LAYERS)) >= rank]

    def targets_for(names):
        return names + (["vantrel-grow"] if "grow_program_test" in names else [])

    # Clean run: every program must pass; its time sets the limit for the faults.
    needed = sorted({name for m in chosen for name in programs_for(m.path)})
    print(f"building {len(needed)} test programs in {build} ...", flush=True)
    if not build_targets(build, targets_for(needed), args.jobs, log):
        sys.exit(f"the unchanged tree does not build; see {work / 'build.log'}")
    limits = {}
    for name in needed:
        status, cpu, wall = run_program(build, name, env, (3600, 3600))
        if status != "passed":
            sys.exit(f"{name} fails on the unchanged tree")
        limits[name] = (max(10.0, args.time_factor * cpu), max(120.0, 10 * args.time_factor * wall))
        print(f"  {name}: {cpu:.1f} s processor time, {wall:.1f} s", flush=True)
    order = sorted(needed, key=lambda name: limits[name][0])  # quickest first: stop at the first failure

    equivalents = load_equivalents(repo / "scripts" / "mutation-equivalents.txt")
    originals = {}
    started = time.monotonic()
    for index, m in enumerate(chosen, 1):
        target = tree / m.path
        # Put back every file changed by the previous fault; the build recompiles it
        # (a ccache hit) together with the new fault.
        for path, text in list(originals.items()):
            if path != m.path:
                (tree / path).write_text(text)
                del originals[path]
        original = originals.setdefault(m.path, target.read_text())
        target.write_text(m.apply(original))
        names = [name for name in order if name in programs_for(m.path)]
        if not build_targets(build, targets_for(names), args.jobs, log):
            m.outcome = "did not compile"
        else:
            m.outcome = "survived"
            for name in names:
                status, _, _ = run_program(build, name, env, limits[name])
                if status != "passed":
                    m.outcome, m.detail = "killed", f"{name} {status}"
                    break
        if m.outcome == "survived" and m.key() in equivalents:
            m.outcome = "equivalent"
        print(f"[{index}/{len(chosen)}] {m.outcome:15} {m.describe()}"
              + (f" ({m.detail})" if m.detail else ""), flush=True)
    for path, text in originals.items():
        (tree / path).write_text(text)

    counts = {k: sum(1 for m in chosen if m.outcome == k)
              for k in ("killed", "survived", "equivalent", "did not compile")}
    scored = counts["killed"] + counts["survived"]
    score = 100.0 * counts["killed"] / scored if scored else 100.0
    lines = [f"seed {args.seed}, {len(chosen)} faults{' (sanitizer build)' if args.sanitize else ''}: "
             f"killed {counts['killed']}, survived {counts['survived']}, "
             f"equivalent {counts['equivalent']}, did not compile {counts['did not compile']}; "
             f"score {score:.1f} % ({counts['killed']}/{scored}) in {time.monotonic() - started:.0f} s"]
    for m in chosen:
        if m.outcome == "survived":
            lines.append("  survived: " + m.describe())
    report = "\n".join(lines)
    print(report)
    if args.report:
        Path(args.report).write_text(report + "\n")


if __name__ == "__main__":
    main()

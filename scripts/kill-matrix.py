#!/usr/bin/env python3
"""Which tests catch which mutants: for each mutant that the mutation tester samples
for a seed, every test that fails, the suites run whole (mutate.py stops at the
first failing one) and unit_tests.exe read case by case. Before trimming tests,
the report shows the tests that no sampled mutant needs alone.
  scripts/kill-matrix.py --work /tmp/km-1 --seed 1 --out km-1.json   (about an hour)
  scripts/kill-matrix.py --report km-1.json km-2.json km-3.json
A run picks up where its --out file stopped. After a trim, --only 4,17,... runs
again just the mutants (numbered as in the run's output) that lost their catchers."""
import argparse, collections, glob, json, os, re, sys, time
TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(TOP, "..", "shared"))
import mutate as M  # noqa: E402


def test_lines():
    """{Suite.Name: non-blank lines of its TEST body} for every test file."""
    sizes = {}
    files = {}
    for path in sorted(set(glob.glob(TOP + "/**/*_test.cc", recursive=True))):
        if "/build" in path:
            continue
        text = open(path).read().split("\n")
        cur = None
        for line in text:
            m = re.match(r"(TEST|TEST_P|TEST_F)\((\w+),\s*(\w+)\)", line)
            if m:
                cur = f"{m.group(2)}.{m.group(3)}"
                sizes[cur] = 0
                files[cur] = os.path.relpath(path, TOP)
            if cur and line.strip():
                sizes[cur] += 1
            if cur and line.startswith("}"):
                cur = None
    return sizes, files


def norm(name):
    name = re.sub(r"^(win|ut|host):", "", name)
    name = re.sub(r" \([^)]*\)$", "", name)
    m = re.match(r"\w+/(\w+\.\w+)/\d+$", name)  # a parameterised test's parts are one test
    return m.group(1) if m else name


def gtest_failures(path):
    try:
        d = json.load(open(path))
    except Exception:
        return None
    out = []
    for suite in d.get("testsuites", []):
        for case in suite.get("testsuite", []):
            if case.get("failures"):
                out.append(f"{suite['name']}.{case['name']}")
    return out


def wine(r, command):
    return ["sh", "-c", f'. "{r.src}/scripts/wine_env.sh" && cd "{r.build}" && exec {command}']


def failing_tests(r, on_host, ut_json):
    """Every test that fails: the Wine suite but unit_tests, then unit_tests.exe case
    by case, then the host suite. A hang is noted once, without waiting for the
    other suites' hangs too."""
    rc, out = M.run(wine(r, 'ctest -j2 --timeout 30 -E "^unit_tests$"'), r.src, 150, r.env)
    M.kill_strays(r.stray_paths)
    failed = ["win:" + x for x in M.failed_tests(out or "")] if rc != 0 else []
    if rc is None:
        failed.append("win:<suite timeout>")
    hang = rc is None or any("Timeout" in x for x in failed)
    if os.path.exists(ut_json):
        os.remove(ut_json)
    rc, out = M.run(wine(r, f"wine unit_tests.exe --gtest_output=json:Z:{ut_json}"), r.src,
                    30 if hang else 60, r.env)
    M.kill_strays(r.stray_paths)
    if rc is None:
        failed.append("ut:<timeout>")
    elif rc != 0:
        cases = gtest_failures(ut_json)
        failed += ["ut:" + x for x in cases] if cases else [f"ut:<crash {rc}>"]
    if on_host and not hang:
        rc, out = M.run(["ctest", "-j2", "--timeout", "30"], r.host, 150, r.env)
        failed += ["host:" + x for x in M.failed_tests(out or "")] if rc != 0 else []
        if rc is None:
            failed.append("host:<suite timeout>")
    return failed


def report(paths):
    sizes, files = test_lines()
    kills = []
    for path in paths:
        d = json.load(open(path))
        for m in d["mutants"]:
            if m["outcome"] == "killed":
                kills.append({norm(x) for x in m["failed"]})
    unique = collections.Counter()
    anyk = collections.Counter()
    for tests in kills:
        for t in tests:
            anyk[t] += 1
        if len(tests) == 1:
            unique[next(iter(tests))] += 1
    allt = set(sizes) | set(anyk)
    rows = sorted(allt, key=lambda t: (unique[t], -sizes.get(t, 0), t))
    print(f"{len(kills)} killed mutants")
    for t in rows:
        print(f"{unique[t]:3d} unique {anyk[t]:3d} any {sizes.get(t, 0):4d} lines  {t}  {files.get(t, '')}")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--repo", default=TOP)
    ap.add_argument("--work")
    ap.add_argument("--seed")
    ap.add_argument("--out")
    ap.add_argument("--count", type=int, default=150)
    ap.add_argument("--report", nargs="+", metavar="JSON")
    ap.add_argument("--only", help="comma-separated mutant numbers: run these, nothing else")
    args = ap.parse_args()
    if args.report:
        return report(args.report)
    if not (args.work and args.seed and args.out):
        ap.error("--work, --seed and --out, or --report")
    args.wineprefix = None
    args.jobs = 2
    snapshot, sha = M.repo_snapshot(args.repo)
    r = M.Runner(args)
    M.sync(snapshot, r.src)
    files = M.product_files(r.src, ["**/*.cc", "**/*.h"])
    texts = {f: open(os.path.join(r.src, f), "rb").read().decode("utf-8", "surrogateescape") for f in files}
    chosen, _, _ = M.sample(files, texts, args.seed, args.count)
    starts = {f: [0] + [m.end() for m in re.finditer("\n", texts[f])] for f in files}
    only = {int(x) for x in args.only.split(",")} if args.only else None
    results = []
    if os.path.exists(args.out) and not only:  # a run that stopped goes on, on the same commit only
        stored = json.load(open(args.out))
        if stored["commit"] != sha or stored["seed"] != args.seed:
            raise SystemExit(f"{args.out} holds another commit's or seed's mutants")
        results = stored["mutants"]
    r.prepare(snapshot)
    host_files = M.host_sources(r.src)
    ut_json = os.path.join(args.work, "ut.json")
    for n, m in enumerate(chosen, 1):
        if (only and n not in only) or (not only and n <= len(results)):
            continue
        t = time.time()
        path = os.path.join(r.src, m.path)
        original = open(path, "rb").read()
        on_host = m.path in host_files or m.path.endswith(".h")
        entry = {"number": n, "file": m.path, "line": M.line_of(starts[m.path], m.edits[0][0]), "op": m.op, "change": m.desc}
        try:
            open(path, "wb").write(m.apply(texts[m.path]).encode("utf-8", "surrogateescape"))
            rc, out = r.build_win(300)
            if rc == 0 and on_host:
                rc, out = r.build_host(300)
            if rc != 0:
                entry["outcome"] = "invalid"
            else:
                win, host = r.hashes(on_host)
                if win == r.pristine[0] and (not on_host or host == r.pristine[1]):
                    entry["outcome"] = "equivalent"
                else:
                    failed = failing_tests(r, on_host, ut_json)
                    entry["outcome"] = "killed" if failed else "survived"
                    entry["failed"] = failed
        finally:
            open(path, "wb").write(original)
            r.unmount()
        entry["seconds"] = round(time.time() - t, 1)
        results.append(entry)
        print(f"[{n}/{len(chosen)}] {m.path}:{entry['line']} {entry['outcome']} {len(entry.get('failed', []))} "
              f"({entry['seconds']} s)", flush=True)
        json.dump({"commit": sha, "seed": args.seed, "mutants": results}, open(args.out, "w"), indent=1)
    M.sync(snapshot, r.src)


if __name__ == "__main__":
    main()

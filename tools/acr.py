#!/usr/bin/python3
"""Korvane's Accessibility Conformance Report, from its criteria table and its tests' results.

    acr.py check  [--build DIR] [--junit PLATFORM=FILE]... [--platform PLATFORM]...
        Checks docs/accessibility/criteria.toml: its rows and fields, and that every test it
        names exists: the Linux names in `ctest --show-only=json-v1` of DIR (default build/),
        the other platforms' names in the test sources, or, for a platform given with --junit,
        among the tests that ran there. --platform checks the names of those platforms only.
        Exits 1 and lists the problems when any.
    acr.py report --junit PLATFORM=FILE... --out DIR
        Reads the results of ctest's JUnit files, with the versions of the tools that ran them
        and the commit, writes them to DIR/results.json and renders the report from them.
    acr.py render --results FILE --out DIR [--name STEM]
        Renders the report from results written before: STEM.md, STEM.html, STEM.openacr.yaml
        (STEM defaults to "report"; {version} in it stands for the project's version). The same table, results, project() line and report date
        (SOURCE_DATE_EPOCH, or the commit's date) give the same bytes.

Only Debian's python3 (3.11: tomllib) is needed.
"""

import argparse
import datetime
import html
import json
import os
import re
import subprocess
import sys
import tomllib
import xml.etree.ElementTree as ElementTree

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TABLE = os.path.join(ROOT, "docs", "accessibility", "criteria.toml")

SUPPORTS = "Supports"
PARTIAL = "Partially Supports"
DOES_NOT = "Does Not Support"
NOT_APPLICABLE = "Not Applicable"
NOT_EVALUATED = "Not Evaluated"
# Worst first: a row of two platforms is as good as its worse one for OpenACR's one level.
RANK = [DOES_NOT, PARTIAL, SUPPORTS, NOT_EVALUATED, NOT_APPLICABLE]

TERMS = [
    (SUPPORTS, "The functionality of the product has at least one method that meets the "
               "criterion without known defects or meets with equivalent facilitation."),
    (PARTIAL, "Some functionality of the product does not meet the criterion."),
    (DOES_NOT, "The majority of product functionality does not meet the criterion."),
    (NOT_APPLICABLE, "The criterion is not relevant to the product."),
    (NOT_EVALUATED, "The product has not been evaluated against the criterion. This can only "
                    "be used in WCAG Level AAA criteria."),
]

ROW_FIELDS = {"id", "table", "title", "en", "heading", "see", "na", "same_as", "shown",
              "by_hand", "gap"}
PLATFORM_FIELDS = {"tests", "gap"}

# The packages whose versions the Evaluation Methods name, read when the results are taken.
VERSIONED = [("Qt", "libqt6widgets6"), ("AT-SPI", "at-spi2-core"), ("pyatspi", "python3-pyatspi"),
             ("Xvfb", "xvfb"), ("Wine", "wine"), ("mingw-w64 g++", "g++-mingw-w64-x86-64-posix"),
             ("GoogleTest", "googletest"), ("CMake", "cmake"), ("Chromium", "chromium"),
             ("emscripten", "emscripten")]


def load(path=TABLE):
    with open(path, "rb") as f:
        return tomllib.load(f)


def platforms(table):
    return [p["id"] for p in table["platform"]]


# ----------------------------------------------------------------------------------------------
# The table's own consistency and the test names it uses


def check_rows(table):
    """Problems of the table itself: fields, ids, references, row counts."""
    problems = []
    plats = set(platforms(table))
    tables = {t["id"]: t for t in table["table"]}
    by_id = {}
    for row in table["criterion"]:
        rid = row.get("id", "?")
        if rid in by_id:
            problems.append(f"{rid}: listed twice")
        by_id[rid] = row
        for field in ("id", "table", "title"):
            if not isinstance(row.get(field), str) or not row[field]:
                problems.append(f"{rid}: no {field}")
        if row.get("table") not in tables:
            problems.append(f"{rid}: unknown table {row.get('table')!r}")
        for field, value in row.items():
            if field in plats:
                for sub in value:
                    if sub not in PLATFORM_FIELDS:
                        problems.append(f"{rid}: unknown field {field}.{sub}")
                tests = value.get("tests", [])
                if not isinstance(tests, list) or not all(isinstance(t, str) for t in tests):
                    problems.append(f"{rid}: {field}.tests is not a list of names")
            elif field not in ROW_FIELDS:
                problems.append(f"{rid}: unknown field {field!r}")
        kinds = [k for k in ("heading", "see", "na", "same_as") if k in row]
        evidence = [k for k in ("shown", "by_hand", "gap") if k in row] + \
                   [p for p in plats if p in row]
        if kinds == ["see"]:
            evidence = [k for k in evidence if k != "shown"]  # a see row may say more
        if len(kinds) > 1 or (kinds and evidence):
            problems.append(f"{rid}: {', '.join(kinds + evidence)} do not go together")
        if "na" in row and row["na"] not in table["reasons"]:
            problems.append(f"{rid}: no reason {row['na']!r} in [reasons]")
    for row in table["criterion"]:
        target = row.get("same_as")
        if target is None:
            continue
        if target not in by_id:
            problems.append(f"{row['id']}: same_as {target}, which is not in the table")
        elif "same_as" in by_id[target] or "heading" in by_id[target]:
            problems.append(f"{row['id']}: same_as {target}, which is itself a reference")
    for tid, t in tables.items():
        count = sum(1 for row in table["criterion"] if row.get("table") == tid)
        if count != t["rows"]:
            problems.append(f"table {tid}: {count} rows, {t['rows']} expected")
    return problems


def named_tests(table):
    """(criterion id, platform the result comes from, test name) for every test named."""
    for row in table["criterion"]:
        for plat in platforms(table):
            for name in row.get(plat, {}).get("tests", []):
                source, _, bare = name.rpartition(":")
                yield row["id"], source or plat, bare


def ctest_names(build):
    listing = subprocess.run(["ctest", "--test-dir", build, "--show-only=json-v1"],
                             check=True, capture_output=True, text=True).stdout
    return {t["name"] for t in json.loads(listing)["tests"]}


def source_names(root=ROOT):
    """Test names that the sources define: GoogleTest's TEST and TEST_F, and add_test NAMEs
    written out in CMakeLists.txt."""
    names = set()
    gtest = re.compile(r"^\s*TEST(?:_F)?\(\s*(\w+)\s*,\s*(\w+)\s*\)", re.M)
    cmake = re.compile(r"add_test\(\s*NAME\s+([\w.\-]+)")
    for top in ("tests", "packaging"):
        for folder, _, files in os.walk(os.path.join(root, top)):
            for file in files:
                path = os.path.join(folder, file)
                if file.endswith(".cpp"):
                    with open(path, encoding="utf-8") as f:
                        names.update(f"{a}.{b}" for a, b in gtest.findall(f.read()))
                elif file == "CMakeLists.txt":
                    with open(path, encoding="utf-8") as f:
                        names.update(cmake.findall(f.read()))
    return names


def check_tests(table, known):
    """Problems with the tests named: known maps a platform to the set of its test names."""
    problems = []
    for rid, plat, name in named_tests(table):
        if plat not in known:
            problems.append(f"{rid}: {plat}:{name}: no platform {plat!r}")
        elif name not in known[plat]:
            problems.append(f"{rid}: {name} is not a test of {plat}")
    return problems


# ----------------------------------------------------------------------------------------------
# Results


def read_junit(path):
    """{test name: "passed" | "failed" | "skipped"} from ctest's JUnit file."""
    results = {}
    for case in ElementTree.parse(path).getroot().iter("testcase"):
        status = case.get("status", "run")
        if case.find("failure") is not None or case.find("error") is not None or status == "fail":
            results[case.get("name")] = "failed"
        elif case.find("skipped") is not None or status in ("disabled", "notrun"):
            results[case.get("name")] = "skipped"
        else:
            results[case.get("name")] = "passed"
    return results


def git(*args):
    return subprocess.run(["git", "-C", ROOT, *args], capture_output=True, text=True).stdout.strip()


def tool_versions():
    versions = {}
    try:
        with open("/etc/debian_version", encoding="utf-8") as f:
            versions["Debian"] = f.read().strip()
    except OSError:
        pass
    for label, package in VERSIONED:
        version = subprocess.run(["dpkg-query", "-W", "-f=${Version}", package],
                                 capture_output=True, text=True).stdout.strip()
        if version:
            versions[label] = version
    return versions


def collect(junits):
    return {
        "commit": git("rev-parse", "HEAD"),
        "uncommitted_changes": bool(git("status", "--porcelain", "--untracked-files=no")),
        "versions": tool_versions(),
        "platforms": {plat: read_junit(path) for plat, path in junits.items()},
    }


# ----------------------------------------------------------------------------------------------
# Levels


def derive_level(results, tests, limits):
    """The level of one row on one platform, and what its remark must say.

    results: {test: status} of the platform's run, or None when the platform did not run;
    tests: (platform results, name) pairs named for it; limits: texts of what keeps the row
    from Supports even when every test passes (by hand, gaps)."""
    if not tests:
        return DOES_NOT, ["No test shows this yet."]
    passed, notes = 0, []
    for run, name in tests:
        status = "not run" if run is None else run.get(name, "missing")
        if status == "passed":
            passed += 1
        elif status == "missing":
            notes.append(f"{name} did not run.")
        else:
            notes.append(f"{name} {status}.")
    if passed == len(tests):
        return (PARTIAL if limits else SUPPORTS), []
    return (PARTIAL if passed else DOES_NOT), notes


def evaluate(table, row, results):
    """{platform: (level, remark parts)} for a row with evidence; the shared parts first."""
    plats = platforms(table)
    shared_limits = [t for t in (row.get("by_hand"), row.get("gap")) if t]
    out = {}
    for plat in plats:
        entry = row.get(plat, {})
        tests = []
        for name in entry.get("tests", []):
            source, _, bare = name.rpartition(":")
            tests.append((results["platforms"].get(source or plat), bare))
        limits = shared_limits + ([entry["gap"]] if "gap" in entry else [])
        level, notes = derive_level(results["platforms"].get(plat), tests, limits)
        if results["platforms"].get(plat) is None and tests:
            notes = [f"No {name_of(table, plat)} results in this run."]
        if level == DOES_NOT and row["table"] == "wcag-aaa" and not tests:
            level, notes = NOT_EVALUATED, []
        parts = ([entry["gap"]] if "gap" in entry else []) + notes
        if entry.get("tests"):
            parts.append("Tests: " + ", ".join(t.rpartition(":")[2] for t in entry["tests"]) + ".")
        out[plat] = (level, parts)
    return out


def name_of(table, plat):
    return next(p["name"] for p in table["platform"] if p["id"] == plat)


def row_cells(table, row, results, by_id):
    """(level text, remark paragraphs) of one row as the report shows it."""
    if "heading" in row:
        return "Heading cell – no response required", ["Heading cell – no response required"]
    if "see" in row:
        return row["see"], [row.get("shown", row["see"].replace("See ", "See information in ", 1))]
    if "na" in row:
        return NOT_APPLICABLE, [table["reasons"][row["na"]]]
    if "same_as" in row:
        target = by_id[row["same_as"]]
        level, remarks = row_cells(table, target, results, by_id)
        return level, [f"As {target['id']} {target['title']}."] + remarks
    per = evaluate(table, row, results)
    levels = {level for level, _ in per.values()}
    if levels == {NOT_EVALUATED}:
        return NOT_EVALUATED, ["Not evaluated."]
    remarks = []
    if row.get("shown") and any(l in (SUPPORTS, PARTIAL) for l, _ in per.values()):
        remarks.append(row["shown"])
    if row.get("by_hand"):
        remarks.append("To be confirmed by hand: " + row["by_hand"])
    if row.get("gap"):
        remarks.append("Not yet shown: " + row["gap"])
    for plat, (level, parts) in per.items():
        if parts:
            remarks.append(f"{name_of(table, plat)}: " + " ".join(parts))
    if len(levels) == 1:
        return levels.pop(), remarks
    return "; ".join(f"{name_of(table, p)}: {l}" for p, (l, _) in per.items()), remarks


def worst_level(table, row, results, by_id):
    """The one level OpenACR takes for a row: the worse of the platforms'."""
    while "same_as" in row:
        row = by_id[row["same_as"]]
    if "na" in row:
        return NOT_APPLICABLE
    per = evaluate(table, row, results)
    return min((level for level, _ in per.values()), key=RANK.index)


# ----------------------------------------------------------------------------------------------
# The document: front matter and tables, rendered as Markdown, HTML and OpenACR YAML


def project_line(root=ROOT):
    with open(os.path.join(root, "CMakeLists.txt"), encoding="utf-8") as f:
        text = f.read()
    match = re.search(r"project\(\s*(\w+)\s+VERSION\s+([\w.]+)", text)
    return match.group(1), match.group(2)


def report_date():
    epoch = os.environ.get("SOURCE_DATE_EPOCH") or git("log", "-1", "--format=%ct") or "0"
    when = datetime.datetime.fromtimestamp(int(epoch), datetime.timezone.utc)
    return when.strftime("%Y-%m-%d")


def also_applies(table, row):
    if not row["table"].startswith("wcag"):
        return []
    lines = []
    if row.get("en"):
        lines.append(f"EN 301 549: {row['en']} (open functionality software)")
    newer = set(table["wcag"]["added_in_2_1"]) | set(table["wcag"]["added_in_2_2"])
    if row["table"] != "wcag-aaa" and row["id"] not in newer:
        lines.append("Revised Section 508: 501 (Software)")
    return lines


def front_matter(table, results):
    name, version = project_line()
    counts = []
    for plat in platforms(table):
        run = results["platforms"].get(plat)
        if run is None:
            counts.append(f"{name_of(table, plat)}: no results")
        else:
            passed = sum(1 for s in run.values() if s == "passed")
            counts.append(f"{name_of(table, plat)}: {passed} of {len(run)} tests passed")
    commit = results["commit"] + (" with uncommitted changes" if results["uncommitted_changes"]
                                  else "")
    v = results["versions"]
    ver = lambda key: v.get(key, "unknown")  # noqa: E731
    methods = [
        "Every level in this report is derived by tools/acr.py from the results of Korvane's "
        "automated tests, run by ctest; which test gives evidence for which criterion is "
        "written in docs/accessibility/criteria.toml. No person judged any criterion.",
        f"Linux (Debian {ver('Debian')}, Qt {ver('Qt')}): the Qt window driven with real key "
        "and mouse events on Qt's offscreen platform and, through the X server's XTEST "
        "extension, on a virtual X display (Xvfb " + ver("Xvfb") + "); the real program read "
        f"and driven over an AT-SPI bus (at-spi2-core {ver('AT-SPI')}) with pyatspi "
        f"({ver('pyatspi')}), as a screen reader reads it: its tree, label relations, extents "
        "and texts, text set through it, Compute's action and the text-changed events; the "
        "window's own screenshots measured for text and edge contrast and focus marks in its own "
        "colours and in high contrast, and for clipping and overlap at Qt's scale factors 1, "
        "1.5 and 2 and at the desktop font dpi 144 and 192.",
        f"Windows: korvane.exe cross-built with mingw-w64 (g++ {ver('mingw-w64 g++')}) and run "
        f"under Wine {ver('Wine')} on Xvfb: the window driven in its own message loop with "
        "SendInput; read from a second program through Microsoft Active Accessibility "
        "(oleacc), as NVDA and JAWS read programs; colours read from the window's pixels, with "
        "Windows' high contrast simulated, since Wine has none.",
        f"Web: the page built with emscripten {ver('emscripten')} and opened from disk in "
        f"Chromium {ver('Chromium')}, headless, driven with the browser's own mouse, keys, input "
        "method and drops over the DevTools protocol (puppeteer-core); its accessibility tree "
        "read as the browser gives it to screen readers; axe-core run over it; forced colours "
        "emulated in a light and a dark scheme; 200 % zoom as two device pixels to a CSS pixel.",
        "Not done: no session with a screen reader or magnifier (Orca, NVDA, JAWS, Narrator); "
        "no run on a real Windows system, so UI Automation (Narrator) and Windows' own "
        "high-contrast themes were not exercised; no review by a person of texts, pictures or "
        "colours. Rows that need those are at most Partially Supports, and their remarks say "
        "what is still to be confirmed by hand.",
    ]
    return [
        ("Name of Product/Version", f"{name} {version}"),
        ("Report Date", report_date()),
        ("Product Description", table["report"]["description"]),
        ("Contact Information", table["report"]["contact"]),
        ("Notes", "Generated by tools/acr.py from docs/accessibility/criteria.toml and the ctest "
                  f"results of commit {commit} ({'; '.join(counts)}); how: "
                  "docs/accessibility/README.md. Rows the platforms answer differently give "
                  "the level of each."),
        ("Evaluation Methods Used", methods),
    ]


STANDARDS = [
    ("Web Content Accessibility Guidelines 2.0", "Level A (Yes), Level AA (Yes), Level AAA (No)"),
    ("Web Content Accessibility Guidelines 2.1", "Level A (Yes), Level AA (Yes), Level AAA (No)"),
    ("Web Content Accessibility Guidelines 2.2",
     "Level A (Yes), Level AA (Yes), Level AAA (Yes: Not Evaluated or Not Applicable)"),
    ("Revised Section 508 standards published January 18, 2017 and corrected January 22, 2018",
     "Yes"),
    ("EN 301 549 Accessibility requirements for ICT products and services - V3.1.1 (2019-11) "
     "and V3.2.1 (2021-03)", "Yes"),
]

SECTIONS = [
    ("wcag", "WCAG 2.x Report",
     "The success criteria as WCAG2ICT applies them to software: a window stands for a page. "
     "Rows marked “Also applies to” answer the same requirement of EN 301 549 clause 11 and "
     "Section 508 chapter 5."),
    ("508", "Revised Section 508 Report", ""),
    ("en", "EN 301 549 Report", ""),
]


def document(table, results):
    """The report as a list of blocks: ("h1"/"h2"/"h3", text), ("fields", [(k, v)]),
    ("p", text), ("table", caption, header, rows)."""
    by_id = {row["id"]: row for row in table["criterion"]}
    name, _ = project_line()
    blocks = [("h1", f"{name} Accessibility Conformance Report"),
              ("p", "International Edition (Based on VPAT® Version 2.5 INT)"),
              ("fields", front_matter(table, results)),
              ("h2", "Applicable Standards/Guidelines"),
              ("table", "Applicable standards", ["Standard/Guideline", "Included In Report"],
               [[[s], [i]] for s, i in STANDARDS]),
              ("h2", "Terms"),
              ("table", "Conformance levels", ["Term", "Definition"],
               [[[t], [d]] for t, d in TERMS])]
    for standard, heading, intro in SECTIONS:
        blocks.append(("h2", heading))
        if intro:
            blocks.append(("p", intro))
        for t in table["table"]:
            if t["standard"] != standard:
                continue
            rows = []
            for row in table["criterion"]:
                if row["table"] != t["id"]:
                    continue
                level_text = f" (Level {t['id'].split('-')[1].upper()})" if standard == "wcag" \
                    else ""
                criterion = [f"{row['id']} {row['title']}{level_text}"]
                also = also_applies(table, row)
                if also:
                    criterion.append("Also applies to: " + "; ".join(also))
                level, remarks = row_cells(table, row, results, by_id)
                rows.append([criterion, [level], remarks])
            blocks.append(("h3", t["caption"]))
            blocks.append(("table", t["caption"],
                           ["Criteria", "Conformance Level", "Remarks and Explanations"], rows))
            for omitted in table.get("omitted", []):
                if omitted["after"] == t["id"]:
                    blocks.append(("h3", omitted["chapter"]))
                    blocks.append(("p", omitted["note"]))
    return blocks


def markdown(blocks):
    cell = lambda parts: "<br>".join(p.replace("|", "\\|") for p in parts)  # noqa: E731
    out = []
    for block in blocks:
        kind = block[0]
        if kind in ("h1", "h2", "h3"):
            out.append("#" * int(kind[1]) + " " + block[1])
        elif kind == "p":
            out.append(block[1])
        elif kind == "fields":
            for key, value in block[1]:
                if isinstance(value, list):
                    out.append(f"**{key}:**\n\n" + "\n".join("- " + v for v in value))
                else:
                    out.append(f"**{key}:** {value}")
        elif kind == "table":
            _, _, header, rows = block
            lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
            lines += ["| " + " | ".join(cell(c) for c in r) + " |" for r in rows]
            out.append("\n".join(lines))
    return "\n\n".join(out) + "\n"


def html_page(blocks):
    e = html.escape
    cell = lambda parts: "<br>".join(e(p) for p in parts)  # noqa: E731
    title = blocks[0][1]
    out = ["<!DOCTYPE html>", '<html lang="en">', "<head>", '<meta charset="utf-8">',
           f"<title>{e(title)}</title>",
           "<style>body{font-family:sans-serif;max-width:75em;margin:auto;padding:1em;"
           "line-height:1.4}table{border-collapse:collapse;width:100%;margin-bottom:1em}"
           "th,td{border:1px solid #444;padding:.3em;text-align:left;vertical-align:top}"
           "caption{text-align:left;font-weight:bold}</style>", "</head>", "<body>", "<main>"]
    for block in blocks:
        kind = block[0]
        if kind in ("h1", "h2", "h3"):
            out.append(f"<{kind}>{e(block[1])}</{kind}>")
        elif kind == "p":
            out.append(f"<p>{e(block[1])}</p>")
        elif kind == "fields":
            for key, value in block[1]:
                if isinstance(value, list):
                    items = "".join(f"<li>{e(v)}</li>" for v in value)
                    out.append(f"<p><strong>{e(key)}:</strong></p><ul>{items}</ul>")
                else:
                    out.append(f"<p><strong>{e(key)}:</strong> {e(value)}</p>")
        elif kind == "table":
            _, caption, header, rows = block
            out.append(f"<table><caption>{e(caption)}</caption><thead><tr>" +
                       "".join(f'<th scope="col">{e(h)}</th>' for h in header) +
                       "</tr></thead><tbody>")
            for r in rows:
                out.append(f'<tr><th scope="row">{cell(r[0])}</th>' +
                           "".join(f"<td>{cell(c)}</td>" for c in r[1:]) + "</tr>")
            out.append("</tbody></table>")
    out += ["</main>", "</body>", "</html>"]
    return "\n".join(out) + "\n"


def openacr(table, results):
    """GSA's OpenACR YAML: one level per criterion and component, the worse platform's, the
    remarks as notes. JSON strings are YAML double-quoted scalars."""
    q = lambda s: json.dumps(s, ensure_ascii=False)  # noqa: E731
    by_id = {row["id"]: row for row in table["criterion"]}
    name, version = project_line()
    fields = dict(front_matter(table, results))
    out = [f"title: {q(name + ' Accessibility Conformance Report')}",
           "product:", f"  name: {q(name)}", f"  version: {q(version)}",
           f"  description: {q(fields['Product Description'])}",
           "author:", f"  company_name: {q(table['report']['contact'])}",
           f"report_date: {q(fields['Report Date'])}", f"notes: {q(fields['Notes'])}",
           f"evaluation_methods_used: {q(' '.join(fields['Evaluation Methods Used']))}",
           "catalog: 2.5-edition-wcag-2.2-508-eu-en", "chapters:"]
    for t in table["table"]:
        out += [f"  {t['openacr']}:", "    criteria:"]
        for row in table["criterion"]:
            if row["table"] != t["id"] or "heading" in row or "see" in row:
                continue
            level = worst_level(table, row, results, by_id)
            _, remarks = row_cells(table, row, results, by_id)
            component = "software" if t["standard"] == "wcag" else "none"
            out += [f"      - num: {q(row['id'])}", "        components:",
                    f"          - name: {component}", "            adherence:",
                    f"              level: {level.lower().replace(' ', '-')}",
                    f"              notes: {q(' '.join(remarks))}"]
    return "\n".join(out) + "\n"


def render(table, results, out_dir, stem="report"):
    os.makedirs(out_dir, exist_ok=True)
    blocks = document(table, results)
    for suffix, text in ((".md", markdown(blocks)), (".html", html_page(blocks)),
                         (".openacr.yaml", openacr(table, results))):
        with open(os.path.join(out_dir, stem + suffix), "w", encoding="utf-8",
                  newline="\n") as f:
            f.write(text)


# ----------------------------------------------------------------------------------------------


def junit_arguments(values):
    out = {}
    for value in values or []:
        plat, _, path = value.partition("=")
        out[plat] = path
    return out


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    sub = parser.add_subparsers(dest="command", required=True)
    check = sub.add_parser("check")
    check.add_argument("--build", default=os.path.join(ROOT, "build"))
    check.add_argument("--junit", action="append")
    check.add_argument("--platform", action="append")
    report = sub.add_parser("report")
    report.add_argument("--junit", action="append", required=True)
    report.add_argument("--out", required=True)
    again = sub.add_parser("render")
    again.add_argument("--results", required=True)
    again.add_argument("--out", required=True)
    again.add_argument("--name", default="report")
    args = parser.parse_args(argv)

    table = load()
    if args.command == "check":
        problems = check_rows(table)
        junits = junit_arguments(args.junit)
        sources = source_names()
        known = {}
        for plat in platforms(table):
            if args.platform and plat not in args.platform:
                known[plat] = {name for _, p, name in named_tests(table) if p == plat}
            elif plat in junits:
                known[plat] = set(read_junit(junits[plat]))
            elif plat == "linux":
                known[plat] = ctest_names(args.build)
            else:
                known[plat] = sources
        problems += check_tests(table, known)
        for problem in problems:
            print("acr: " + problem)
        print(f"acr: {len(table['criterion'])} rows, "
              f"{sum(1 for _ in named_tests(table))} test names, {len(problems)} problems")
        return 1 if problems else 0
    if args.command == "report":
        junits = {p: path for p, path in junit_arguments(args.junit).items()
                  if os.path.exists(path)}
        results = collect(junits)
        os.makedirs(args.out, exist_ok=True)
        with open(os.path.join(args.out, "results.json"), "w", encoding="utf-8") as f:
            json.dump(results, f, indent=1, sort_keys=True)
            f.write("\n")
        render(table, results, args.out)
        return 0
    with open(args.results, encoding="utf-8") as f:
        results = json.load(f)
    render(table, results, args.out, args.name.replace("{version}", project_line()[1]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

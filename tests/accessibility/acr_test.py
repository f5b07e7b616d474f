#!/usr/bin/python3
"""The rules of tools/acr.py: how a row's level follows from its tests' results, what the
table check refuses, and that the rendered report is structured and the same every time."""

import copy
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import acr  # noqa: E402

S, P, D = acr.SUPPORTS, acr.PARTIAL, acr.DOES_NOT

# A table of two platforms and a few rows, as criteria.toml writes them.
TABLE = {
    "report": {"contact": "c", "description": "d"},
    "platform": [{"id": "linux", "name": "Linux"}, {"id": "windows", "name": "Windows"}],
    "table": [{"id": "wcag-a", "standard": "wcag", "caption": "A", "openacr": "a", "rows": 6},
              {"id": "wcag-aaa", "standard": "wcag", "caption": "AAA", "openacr": "aaa",
               "rows": 1}],
    "wcag": {"added_in_2_1": [], "added_in_2_2": []},
    "reasons": {"media": "No media."},
    "criterion": [
        {"id": "1", "table": "wcag-a", "title": "Both", "shown": "Shown.",
         "linux": {"tests": ["a", "b"]}, "windows": {"tests": ["w"]}},
        {"id": "2", "table": "wcag-a", "title": "By hand", "by_hand": "Look.",
         "linux": {"tests": ["a"]}, "windows": {"tests": ["w"]}},
        {"id": "3", "table": "wcag-a", "title": "Windows gap", "linux": {"tests": ["a"]},
         "windows": {"tests": ["w"], "gap": "Not on Windows."}},
        {"id": "4", "table": "wcag-a", "title": "None", "na": "media"},
        {"id": "5", "table": "wcag-a", "title": "Copy", "same_as": "1"},
        {"id": "6", "table": "wcag-a", "title": "Shared", "linux": {"tests": ["a"]},
         "windows": {"tests": ["linux:b"]}},
        {"id": "9", "table": "wcag-aaa", "title": "Untested"},
    ],
}


def results(linux=None, windows=None):
    return {"commit": "0" * 40, "uncommitted_changes": False, "versions": {},
            "platforms": {k: v for k, v in (("linux", linux), ("windows", windows)) if v}}


PASS = {"a": "passed", "b": "passed"}
WPASS = {"w": "passed"}


class DeriveLevel(unittest.TestCase):
    def test_rules(self):
        # results of the platform, tests named, limits, level, notes
        rows = [
            ("all pass", PASS, ["a", "b"], [], S, []),
            ("all pass, by hand", PASS, ["a", "b"], ["Look."], P, []),
            ("one fails", {"a": "passed", "b": "failed"}, ["a", "b"], [], P, ["b failed."]),
            ("all fail", {"a": "failed"}, ["a"], [], D, ["a failed."]),
            ("skipped", {"a": "passed", "b": "skipped"}, ["a", "b"], [], P, ["b skipped."]),
            ("missing", {"a": "passed"}, ["a", "gone"], [], P, ["gone did not run."]),
            ("only missing", {"a": "passed"}, ["gone"], [], D, ["gone did not run."]),
            ("no tests", PASS, [], [], D, ["No test shows this yet."]),
            ("platform not run", None, ["a"], [], D, ["a not run."]),
        ]
        for name, run, tests, limits, level, notes in rows:
            with self.subTest(name):
                got = acr.derive_level(run, [(run, t) for t in tests], limits)
                self.assertEqual(got, (level, notes))


class RowCells(unittest.TestCase):
    def cells(self, rid, res):
        by_id = {r["id"]: r for r in TABLE["criterion"]}
        return acr.row_cells(TABLE, by_id[rid], res, by_id)

    def test_levels(self):
        failed_w = {"w": "failed"}
        # row, linux results, windows results, level cell, texts its remarks hold
        rows = [
            ("1", PASS, WPASS, S, ["Shown.", "Linux: Tests: a, b."]),
            ("1", {"a": "passed", "b": "failed"}, WPASS, "Linux: Partially Supports; Windows: "
             "Supports", ["Linux: b failed."]),
            ("1", PASS, failed_w, "Linux: Supports; Windows: Does Not Support",
             ["Windows: w failed."]),
            ("1", PASS, None, "Linux: Supports; Windows: Does Not Support",
             ["Windows: No Windows results in this run."]),
            ("1", {"a": "failed", "b": "failed"}, failed_w, D, ["Linux: a failed. b failed."]),
            ("2", PASS, WPASS, P, ["To be confirmed by hand: Look."]),
            ("3", PASS, WPASS, "Linux: Supports; Windows: Partially Supports",
             ["Windows: Not on Windows."]),
            ("4", PASS, WPASS, acr.NOT_APPLICABLE, ["No media."]),
            ("5", PASS, failed_w, "Linux: Supports; Windows: Does Not Support",
             ["As 1 Both.", "Windows: w failed."]),
            ("6", PASS, WPASS, S, ["Windows: Tests: b."]),
            ("6", {"a": "passed", "b": "failed"}, WPASS, "Linux: Supports; Windows: "
             "Does Not Support", ["Windows: b failed."]),
            ("9", PASS, WPASS, acr.NOT_EVALUATED, []),
        ]
        for rid, linux, windows, level, texts in rows:
            with self.subTest(row=rid, linux=linux, windows=windows):
                got_level, remarks = self.cells(rid, results(linux, windows))
                self.assertEqual(got_level, level)
                for text in texts:
                    self.assertTrue(any(text in r for r in remarks), (text, remarks))
                if got_level in (acr.NOT_APPLICABLE, D):
                    self.assertNotIn("Shown.", remarks)

    def test_openacr_takes_the_worse_platform(self):
        by_id = {r["id"]: r for r in TABLE["criterion"]}
        res = results(PASS, {"w": "failed"})
        self.assertEqual(acr.worst_level(TABLE, by_id["1"], res, by_id), D)
        self.assertEqual(acr.worst_level(TABLE, by_id["5"], res, by_id), D)
        self.assertEqual(acr.worst_level(TABLE, by_id["4"], res, by_id), acr.NOT_APPLICABLE)


class CheckTable(unittest.TestCase):
    def test_the_real_table_has_no_problems_of_its_own(self):
        self.assertEqual(acr.check_rows(acr.load()), [])

    def test_refusals(self):
        def changed(edit):
            table = copy.deepcopy(TABLE)
            edit(table["criterion"])
            return acr.check_rows(table)

        # edit of the rows, text of the problem
        rows = [
            (lambda c: c[0].update(sown="typo"), "unknown field 'sown'"),
            (lambda c: c[0]["linux"].update(test=["a"]), "unknown field linux.test"),
            (lambda c: c[3].update(na="nothing"), "no reason 'nothing'"),
            (lambda c: c[4].update(same_as="7"), "same_as 7, which is not in the table"),
            (lambda c: c[3].update(shown="x"), "na, shown do not go together"),
            (lambda c: c.append(dict(c[3])), "4: listed twice"),
            (lambda c: c.pop(1), "table wcag-a: 5 rows, 6 expected"),
        ]
        for edit, text in rows:
            with self.subTest(text):
                problems = changed(edit)
                self.assertTrue(any(text in p for p in problems), problems)

    def test_names_must_be_tests_of_their_platform(self):
        known = {"linux": {"a", "b"}, "windows": {"w"}}
        self.assertEqual(acr.check_tests(TABLE, known), [])
        table = copy.deepcopy(TABLE)
        table["criterion"][0]["windows"]["tests"].append("a")
        table["criterion"][1]["linux"]["tests"].append("windows:a")
        self.assertEqual(acr.check_tests(table, known),
                         ["1: a is not a test of windows", "2: a is not a test of windows"])

    def test_source_names_hold_the_windows_tests(self):
        names = acr.source_names()
        for name in ("ScreenReaderTest.EveryControlIsNamedDescribedAndInItsRole",
                     "Win32Program.StartsAsToldAndEndsWhenItsWindowIsClosed", "windows_installer"):
            self.assertIn(name, names)


class Junit(unittest.TestCase):
    def test_statuses(self):
        text = """<?xml version="1.0" encoding="UTF-8"?>
<testsuite name="(empty)" tests="4">
  <testcase name="ok" classname="ok" time="0.1" status="run"/>
  <testcase name="bad" classname="bad" time="0.1" status="fail"><failure message="Failed"/></testcase>
  <testcase name="off" classname="off" time="0" status="disabled"><skipped/></testcase>
  <testcase name="skip" classname="skip" time="0" status="notrun"><skipped/></testcase>
</testsuite>
"""
        with tempfile.NamedTemporaryFile("w", suffix=".xml", delete=False) as f:
            f.write(text)
        try:
            self.assertEqual(acr.read_junit(f.name), {"ok": "passed", "bad": "failed",
                                                      "off": "skipped", "skip": "skipped"})
        finally:
            os.unlink(f.name)


class Rendering(unittest.TestCase):
    def render(self, out):
        table = acr.load()
        res = results({"window.atspi_tree": "passed"}, {"acr.generator": "passed"})
        acr.render(table, res, out)
        with open(os.path.join(out, "report.html"), encoding="utf-8") as f:
            page = f.read()
        with open(os.path.join(out, "report.md"), encoding="utf-8") as f:
            md = f.read()
        with open(os.path.join(out, "report.openacr.yaml"), encoding="utf-8") as f:
            yaml = f.read()
        return page, md, yaml

    def test_same_bytes_and_structure(self):
        os.environ["SOURCE_DATE_EPOCH"] = "1700000000"
        with tempfile.TemporaryDirectory() as one, tempfile.TemporaryDirectory() as two:
            first, second = self.render(one), self.render(two)
        self.assertEqual(first, second)
        page, md, yaml = first
        self.assertIn("Report Date:** 2023-11-14", md)
        # The report as a document a screen reader can find its way through.
        for part in ('<html lang="en">', "<title>Korvane Accessibility Conformance Report</title>",
                     "<h2>WCAG 2.x Report</h2>", '<th scope="col">Conformance Level</th>',
                     '<th scope="row">1.1.1 Non-text Content (Level A)',
                     "<caption>Chapter 11: Software</caption>"):
            self.assertIn(part, page)
        self.assertEqual(page.count("<table>"), page.count("<caption>"))
        self.assertEqual(md.count("\n### "), 13)
        self.assertIn("catalog: 2.5-edition-wcag-2.2-508-eu-en", yaml)
        self.assertIn('- num: "11.5.2.8"', yaml)
        # Every row of the table is in the report, once.
        for row in acr.load()["criterion"]:
            self.assertEqual(md.count(f"\n| {row['id']} {row['title']}"), 1, row["id"])


if __name__ == "__main__":
    unittest.main()

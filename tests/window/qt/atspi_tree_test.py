#!/usr/bin/python3
"""What a screen reader gets from the real window over a real AT-SPI bus, as it first shows.

    atspi_tree_test.py KORVANE LAYOUT_ROWS

Starts the program KORVANE on a bus of its own (atspi_session.py), reads its accessibility tree
back with pyatspi and checks it against the layout table that LAYOUT_ROWS prints:

- every node has a name, and no node is a bare filler;
- the window is a frame named by its caption; its children are the labels, boxes, pictures and
  the Results frame, and nothing else (the lines are drawing only);
- every control is presented in the role, with the name and the description that the window's
  rules give it (the layout rows carry them), and the frame holds exactly its own controls;
- the states the rules give are there: Compute the default button, the passage-time boxes
  read-only, the effective acceleration unavailable; and, as the window first shows, Compute
  is unavailable too;
- every box is LABELLED_BY exactly the captions the rules give it, and every caption is
  LABEL_FOR exactly the boxes it labels, both ways, and nothing else;
- every control's extents, in the window's coordinates, are its place in the layout;
- every box's text, read through AT-SPI's Text interface, is what the window shows at start-up,
  and its first character lies inside the box.

Exits 0 when all holds, 1 with a list of the differences otherwise.
"""

import sys

import atspi_session as bus
from atspi_session import children, expected_node, node


def check_tree(app, layout):
    problems = []

    # No anonymous node and no filler anywhere.
    count = anonymous = 0
    stack = [(app, "the application")]
    while stack:
        accessible, where = stack.pop()
        count += 1
        role, name, _ = node(accessible)
        if not name.strip():
            anonymous += 1
            problems.append(f"anonymous {role} in {where}")
        elif role == "filler":
            problems.append(f"filler {name!r} in {where}")
        stack.extend((child, repr(name)) for child in children(accessible))
    print(f"atspi: {count} nodes, {anonymous} of them anonymous")

    windows = children(app)
    if len(windows) != 1 or node(windows[0])[:2] != ("frame", layout.caption):
        return problems + [f"the application holds {[node(w) for w in windows]}, "
                           f"not one frame named {layout.caption!r}"]
    window = windows[0]

    frame = next(c for c in layout.controls if c["kind"] == "frame")
    for container, inside in ((window, "Korvane"), (None, frame["name"])):
        expected = sorted(filter(None, (expected_node(c)
                                        for c in layout.controls if c["in"] == inside)))
        if container is None:
            panels = [c for c in children(window) if node(c) == expected_node(frame)]
            if len(panels) != 1:
                problems.append(f"no single panel for {frame['name']}")
                continue
            container = panels[0]
        found = sorted(node(child) for child in children(container))
        for missing in sorted(set(expected) - set(found)):
            problems.append(f"{inside}: missing {missing}")
        for extra in sorted(set(found) - set(expected)):
            problems.append(f"{inside}: unexpected {extra}")
        if len(found) != len(expected):
            problems.append(f"{inside}: {len(found)} children, expected {len(expected)}")
    return problems


def check_states(on_bus, layout):
    """The states the rules give each control, and Compute unavailable at start-up."""
    import pyatspi

    problems = []
    for control in layout.controls:
        if control["name"] not in on_bus:
            continue
        states = on_bus[control["name"]].getState()
        wanted = {
            "default": ("default" in control["states"], pyatspi.STATE_IS_DEFAULT, True),
            "read-only": ("read-only" in control["states"], pyatspi.STATE_READ_ONLY, True),
            "unavailable": ("unavailable" in control["states"] or control["kind"] == "button",
                            pyatspi.STATE_ENABLED, False),
        }
        for what, (on, state, present) in wanted.items():
            if on and states.contains(state) != present:
                problems.append(f"{control['name']} is not {what}")
            elif (not on and state != pyatspi.STATE_ENABLED and states.contains(state)
                  # Static text is read-only by nature; a box must be editable unless the
                  # rules make it read-only.
                  and (what != "read-only" or control["role"] == "editable text")):
                problems.append(f"{control['name']} is {what}, and should not be")
    return problems


def relation_targets(accessible):
    """{relation name: set of (role, name) of its targets}."""
    out = {}
    for relation in accessible.getRelationSet():
        kind = relation.getRelationType().value_nick
        for i in range(relation.getNTargets()):
            out.setdefault(kind, set()).add(node(relation.getTarget(i))[:2])
    return out


def check_relations(on_bus, layout):
    """Each box LABELLED_BY its captions and each caption LABEL_FOR its boxes, as the rules
    give them, both ways; no box or caption related in any other way."""
    problems = []
    labelled_by = {}
    for control in layout.controls:
        for caption in control["labels"]:
            labelled_by.setdefault(caption, []).append(control["name"])
    relations = 0
    for control in layout.controls:
        name = control["name"]
        if control["role"] not in ("editable text", "static text") or name not in on_bus:
            continue
        expected = {}
        if control["labels"]:
            expected["labelled-by"] = {expected_node(layout.by_name[c])[:2]
                                       for c in control["labels"]}
        if name in labelled_by:
            expected["label-for"] = {expected_node(layout.by_name[b])[:2]
                                     for b in labelled_by[name]}
        found = relation_targets(on_bus[name])
        relations += sum(len(targets) for targets in found.values())
        if found != expected:
            problems.append(f"{name}: relations {found}, expected {expected}")
    print(f"atspi: {relations} label relations")
    return problems


def check_extents(on_bus, layout):
    """Every control's extents in the window's coordinates against its place in the layout."""
    import pyatspi

    problems = []
    for control in layout.controls:
        if control["name"] not in on_bus:
            continue
        extents = on_bus[control["name"]].queryComponent().getExtents(pyatspi.WINDOW_COORDS)
        found = (extents.x, extents.y, extents.width, extents.height)
        if found != layout.pixels(control):
            problems.append(f"{control['name']}: extents {found}, "
                            f"the layout places it at {layout.pixels(control)}")
    return problems


# The boxes' texts as the window first shows them: Form_Load blanks the numeric and the
# passage-time boxes and the readiness pass writes the effective acceleration.
START_TEXTS = {"txtSpd": " ", "txtAccel": " ", "txtGrade": " ", "txtLength": " ",
               "txtEntryPos": " ", "txtExitPos": " ", "txtEntryPass": " ", "txtExitPass": " ",
               "txtEffAccel": ".", "txtLocation": "", "txtDirection": ""}


def check_texts(on_bus, layout):
    import pyatspi

    problems = []
    boxes = [c for c in layout.controls if c["role"] == "editable text"]
    if {c["name"] for c in boxes} != set(START_TEXTS):
        problems.append(f"the boxes are {sorted(c['name'] for c in boxes)}")
    for control in boxes:
        name = control["name"]
        if name not in on_bus:
            continue
        text = on_bus[name].queryText()
        shown = text.getText(0, -1)
        if shown != START_TEXTS.get(name) or text.characterCount != len(shown):
            problems.append(f"{name}: text {shown!r} ({text.characterCount} characters), "
                            f"expected {START_TEXTS.get(name)!r}")
        if shown:
            x, y, width, height = text.getCharacterExtents(0, pyatspi.WINDOW_COORDS)
            left, top, box_width, box_height = layout.pixels(control)
            if not (width > 0 and height > 0 and left <= x and x + width <= left + box_width
                    and top <= y and y + height <= top + box_height):
                problems.append(f"{name}: its first character at {(x, y, width, height)}, "
                                f"outside the box at {layout.pixels(control)}")
    return problems


def check(app, layout, env):
    problems = check_tree(app, layout)
    windows = children(app)
    if len(windows) != 1:
        return problems
    on_bus = bus.controls_on_bus(windows[0], layout)
    missing = [c["name"] for c in layout.controls
               if expected_node(c) is not None and c["name"] not in on_bus]
    if missing:
        problems.append(f"not found one by one on the bus: {missing}")
    return (problems + check_states(on_bus, layout) + check_relations(on_bus, layout)
            + check_extents(on_bus, layout) + check_texts(on_bus, layout))


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    return bus.run(sys.argv[1], sys.argv[2], check)


if __name__ == "__main__":
    sys.exit(main())

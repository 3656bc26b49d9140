#!/usr/bin/python3
"""Reads the running program over the accessibility bus, as a screen reader does, and fails
when a menu item, tree, list, combo box, text field or button has no name. Opens Find in Nodes
through its menu item and checks that window too."""
import sys
import time

import pyatspi

NAMED_ROLES = {
    pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_CHECK_MENU_ITEM, pyatspi.ROLE_TREE, pyatspi.ROLE_TREE_TABLE,
    pyatspi.ROLE_LIST, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TEXT, pyatspi.ROLE_PUSH_BUTTON,
    pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_TOOL_BAR,
}
# Parts Qt makes of a combo box (its drop-down list and edit field) take the combo's name.
UNNAMED_CHILD_OF = {pyatspi.ROLE_COMBO_BOX}


def wait_for(find, what, timeout=40):
    end = time.time() + timeout
    while time.time() < end:
        found = find()
        if found is not None:
            return found
        time.sleep(0.5)
    sys.exit(f"timed out waiting for {what}")


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Quarn Marrowleaf":
            return app
    return None


def walk(node, path=()):
    try:
        role, name, count = node.getRole(), node.name, node.childCount
    except Exception:  # the program may drop an entry while it is read
        return
    here = path + (f"{node.getRoleName()} '{name}'",)
    yield node, role, name, here
    for i in range(min(count, 200)):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, here)


def unnamed(root):
    missing = []
    for node, role, name, path in walk(root):
        if role not in NAMED_ROLES or name:
            continue
        parent = node.parent
        if parent is not None and parent.getRole() in UNNAMED_CHILD_OF:
            continue
        if role == pyatspi.ROLE_TOOL_BAR:
            missing.append(" > ".join(path))
            continue
        # A tool bar's handle is a nameless toggle Qt adds; the separators are fillers.
        if parent is not None and parent.getRole() == pyatspi.ROLE_TOOL_BAR and node.getIndexInParent() == 0:
            continue
        missing.append(" > ".join(path))
    return missing


def find_named(root, role, name):
    for node, node_role, node_name, _ in walk(root):
        if node_role == role and node_name == name:
            return node
    return None


def main():
    app = wait_for(application, "the program on the accessibility bus")
    wait_for(lambda: find_named(app, pyatspi.ROLE_TREE, "Main Tree"), "the main tree")
    seen = {name for _, role, name, _ in walk(app) if role in NAMED_ROLES}
    for expected in ("Main Tree", "Bookmarks List", "Tasks", "Font Name", "Font Size", "File", "Options..."):
        if expected not in seen:
            sys.exit(f"no entry named '{expected}' on the bus")
    problems = unnamed(app)

    item = find_named(app, pyatspi.ROLE_MENU_ITEM, "Find in Nodes...")
    item.queryAction().doAction(0)
    window = wait_for(lambda: next((w for w in app if w is not None and w.name == "Find in Nodes"), None),
                      "the Find in Nodes window")
    problems += unnamed(window)

    if problems:
        print("Entries without an accessible name:")
        print("\n".join(problems))
        return 1
    print(f"{len(seen)} named entries read over the accessibility bus")
    return 0


if __name__ == "__main__":
    sys.exit(main())

# SPDX-License-Identifier: GPL-3.0-or-later
"""Works the running manager through the accessibility bus, as a screen reader
does: finds it, presses "Daten einlesen" through its action, follows the
status panel and the progress bar by their events until the read is over,
finds an entry of the phonebook tree by its name and reads its location and
number, then fills the new entry dialog by its controls' names and finds the
new entry in the tree. Started by bus_test.sh; exits 1 with the reason on the
first thing that is not as a user of a screen reader needs it."""

import sys
import time

import pyatspi
from gi.repository import GLib

started = time.monotonic()
heard = []  # (event type, source role, source name or value)


def say(text):
    print(f"{time.monotonic() - started:5.1f}s  {text}", flush=True)


def fail(text):
    say("FAILED: " + text)
    sys.exit(1)


def pump():
    """Lets the bus deliver what has arrived: the events come in on it."""
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_for(what, found, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        pump()
        try:
            result = found()
        except Exception:  # an object that went away while it was asked
            result = None
        if result:
            return result
        time.sleep(0.1)
    fail(f"{what} did not come within {seconds} s")


def children(accessible):
    try:
        count = accessible.childCount
    except Exception:
        return []
    result = []
    for i in range(count):
        try:
            child = accessible.getChildAtIndex(i)
        except Exception:
            child = None
        if child is not None:
            result.append(child)
    return result


def find(root, wanted, limit=5000):
    """The first object under root, breadth first, for which wanted holds."""
    queue = [root]
    seen = 0
    while queue and seen < limit:
        accessible = queue.pop(0)
        seen += 1
        try:
            if wanted(accessible):
                return accessible
        except Exception:
            pass
        queue.extend(children(accessible))
    return None


def named(name, roles=None):
    def wanted(accessible):
        return accessible.name == name and (roles is None or accessible.getRole() in roles)

    return wanted


def enabled(accessible):
    return accessible.getState().contains(pyatspi.STATE_ENABLED)


def press(accessible):
    """A button's press, a radio button's toggle: what Space would do."""
    action = accessible.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() in ("press", "toggle"):
            action.doAction(i)
            return
    fail(f'"{accessible.name}" has no action to press it')


def manager_application():
    # The application registers with the bus only once it is asked: the
    # first looks at the desktop may well find nothing.
    desktop = pyatspi.Registry.getDesktop(0)
    for application in children(desktop):
        for window in children(application):
            if window.name.startswith("Vexa Q7 Manager"):
                return application
    return None


def record(event):
    try:
        role = event.source.getRole()
        text = event.source.name
        if event.type.startswith("object:property-change:accessible-value") or event.type.startswith(
            "object:value-changed"
        ):
            text = str(event.source.queryValue().currentValue)
    except Exception:
        return
    heard.append((event.type, role, text))


pyatspi.Registry.registerEventListener(record, "object:property-change:accessible-name")
pyatspi.Registry.registerEventListener(record, "object:property-change:accessible-value")
pyatspi.Registry.registerEventListener(record, "object:value-changed")

application = wait_for("the manager on the accessibility bus", manager_application, 30)
say(f'found "{application.name}" on the bus')

read = wait_for(
    '"Daten einlesen", enabled once the handset has answered',
    lambda: find(application, lambda a: a.name == "Daten einlesen" and enabled(a)),
    20,
)
status = find(application, lambda a: a.description == "Status" and a.getRole() == pyatspi.ROLE_LABEL)
progress = find(application, named("Fortschritt", [pyatspi.ROLE_PROGRESS_BAR]))
if status is None or progress is None:
    fail("the status panel or the progress bar has no name")
say(f'status before the read: "{status.name}"')

press(read)
wait_for(
    'the read\'s end, "Ruhezustand" in the status panel',
    lambda: any(text.startswith("Daten lesen aus Speicherstelle") for _, _, text in heard)
    and status.name == "Ruhezustand",
    30,
)
statuses = [text for kind, role, text in heard if role == pyatspi.ROLE_LABEL and "name" in kind]
values = [text for kind, role, text in heard if role == pyatspi.ROLE_PROGRESS_BAR]
say(f"read; heard {len(statuses)} status texts and {len(values)} progress values")
if len(values) < 3:
    fail(f"the progress bar's steps did not reach the bus: {values}")

tree = find(application, named("Telefonbuch", [pyatspi.ROLE_TREE, pyatspi.ROLE_TREE_TABLE]))
if tree is None:
    fail('no tree named "Telefonbuch"')
entry = wait_for(
    "the entry of Dr. Sörensen in the tree",
    lambda: find(tree, lambda a: a.name.startswith("Dr. Sörensen,")),
    5,
)
say(f'entry: "{entry.name}" — {entry.description}')
if "Handyspeicher, Speicherplatz 33" not in entry.name:
    fail("the entry does not say where it lives")
if "Nummer 1, Büro: +4930555100" not in entry.description:
    fail("the entry does not say its number")

press(find(application, named("Neuer Eintrag", [pyatspi.ROLE_PUSH_BUTTON])))
dialog = wait_for(
    'the dialog "Neuen Eintrag erstellen"',
    lambda: find(application, lambda a: a.name == "Neuen Eintrag erstellen" and a.childCount > 0),
    10,
)
fields = {}
for name in ("Name", "Nummer 1"):
    field = find(dialog, named(name, [pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY]))
    if field is None:
        fail(f'no field named "{name}" in the dialog')
    fields[name] = field
fields["Name"].queryEditableText().setTextContents("Bus Eintrag")
fields["Nummer 1"].queryEditableText().setTextContents("0301112223")
memory = find(dialog, named("In den Handyspeicher", [pyatspi.ROLE_RADIO_BUTTON]))
type_button = find(dialog, lambda a: a.name.startswith("Nummernart von Nummer 1:"))
if memory is None or type_button is None:
    fail("the range or the number type has no name")
press(memory)
create = wait_for(
    '"Erstellen", enabled once the entry has a name',
    lambda: find(dialog, lambda a: a.name == "Erstellen" and enabled(a)),
    5,
)
press(create)
created = wait_for(
    "the new entry in the tree",
    lambda: find(tree, lambda a: a.name.startswith("Bus Eintrag,")),
    10,
)
say(f'new entry: "{created.name}" — {created.description}')
if "Handyspeicher" not in created.name or "geändert" not in created.name:
    fail("the new entry does not say where it lives and that it is changed")
if "Nummer 1, Telefon: 0301112223" not in created.description:
    fail("the new entry does not say its number")
say("done")

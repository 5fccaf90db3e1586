"""A folder dropped on the orb and protected with a password: entries that differ say
"Passwords don't match"; the same password twice makes a ZIP whose every entry is
encrypted and which tests sound with that password."""

import os
import subprocess
import zipfile

import harness
import xwindows
from polling import check, wait_for

PASSWORD = "orange sky 42"


def type_into(session, name, text):
    field = session.a11y.wait_for_showing(name)
    session.click(field.centre())
    xwindows.xdotool("key", "ctrl+a", "BackSpace")
    xwindows.xdotool("type", "--delay", "20", text)


def folder_protected_with_password(session):
    session.start_app()
    orb = session.orb()
    folder = session.work_path("holiday notes")
    os.makedirs(os.path.join(folder, "day two"))
    with open(os.path.join(folder, "day one.txt"), "w") as note:
        note.write("We walked to the lake.\n")
    with open(os.path.join(folder, "day two", "evening.txt"), "w") as note:
        note.write("Rain all evening.\n")
    session.drag_from_source(orb.centre(), ["--files", folder])

    row = session.a11y.wait_for_showing("Protect with Password")
    session.click(row.centre())
    type_into(session, "Password", PASSWORD)
    type_into(session, "Confirm password", PASSWORD + "!")
    xwindows.xdotool("key", "Return")
    session.a11y.wait_for_showing("Passwords don't match")
    session.screenshot("actions-protect-mismatch")

    type_into(session, "Confirm password", PASSWORD)
    session.screenshot("actions-protect-agreed")
    session.click(session.a11y.wait_for_showing("Compress").centre())

    output = session.work_path("protected_holiday notes")

    def finished_archive():
        if not os.path.isdir(output):
            return None
        archives = [name for name in os.listdir(output) if name.endswith(".zip")]
        return os.path.join(output, archives[0]) if archives else None

    archive = wait_for(finished_archive, 20, "a ZIP in protected_holiday notes/")
    wait_for(lambda: output in session.opened_paths(), 20, "xdg-open to be asked for the output folder")
    with zipfile.ZipFile(archive) as entries:
        files = [entry for entry in entries.infolist() if not entry.is_dir()]
        check(len(files) == 2, f"the archive holds {[entry.filename for entry in files]}")
        check(all(entry.flag_bits & 0x1 for entry in files), "an entry of the archive is not encrypted")
    tested = subprocess.run(["unzip", "-t", "-P", PASSWORD, archive], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    check(tested.returncode == 0, f"unzip -t failed with the password: {tested.stdout.decode(errors='replace')}")
    session.check_app_running()


harness.main(folder_protected_with_password)

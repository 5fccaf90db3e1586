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


def folder_protected_with_password(session):
    session.start_app()
    orb = session.orb()
    folder = session.work_path("holiday notes")
    os.makedirs(os.path.join(folder, "day two"))
    with open(os.path.join(folder, "day one.txt"), "w") as note:
        note.write("We walked to the lake.\n")
    with open(os.path.join(folder, "day two", "evening.txt"), "w") as note:
        note.write("Rain all evening.\n")
    session.drag_from_source(session.settled_centre(orb), ["--files", folder])

    session.click_on("Protect with Password")
    typed = [session.type_into("Password", PASSWORD, replace=True),
             session.type_into("Confirm password", PASSWORD + "!", replace=True)]
    wait_for(lambda: [harness.field_text_length(field) for field in typed] == [len(PASSWORD), len(PASSWORD) + 1], 5,
             "both passwords in their boxes")
    xwindows.xdotool("key", "Return")
    session.a11y.wait_for_showing("Passwords don't match")
    session.screenshot("actions-protect-mismatch")

    confirm = session.type_into("Confirm password", PASSWORD, replace=True)
    wait_for(lambda: harness.field_text_length(confirm) == len(PASSWORD), 5, "the agreed password in its box")
    session.screenshot("actions-protect-agreed")
    session.click_on("Compress")

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

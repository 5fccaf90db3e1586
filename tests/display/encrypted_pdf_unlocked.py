"""An encrypted PDF dropped on the orb: its unlock row is open at once. A wrong password
shows "Wrong password" and empties the box; the right one writes unlocked_…/ whose PDF is
no longer encrypted."""

import os
import subprocess

import harness
from pdf_files import pdf_of_objects
import xwindows
from polling import check, wait_for

PASSWORD = "open sesame"

def one_page_pdf():
    """A PDF of one empty page, with its cross-reference table; qpdf encrypts it."""
    objects = [b"<< /Type /Catalog /Pages 2 0 R >>", b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
               b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>"]
    return pdf_of_objects(objects)


def encrypted_pdf_unlocked(session):
    session.start_app()
    orb = session.orb()
    plain = session.make_file("plain.pdf", one_page_pdf())
    locked = session.work_path("statement.pdf")
    subprocess.run(["qpdf", "--encrypt", PASSWORD, "owner secret", "256", "--", plain, locked], check=True)
    os.remove(plain)
    session.drag_from_source(session.settled_centre(orb), ["--files", locked])

    session.a11y.wait_for_showing("Unlock Document")
    session.settled_extents("Enter password")
    session.screenshot("actions-unlock-open")

    field = session.type_into("Enter password", "not it")
    wait_for(lambda: harness.field_text_length(field) == len("not it"), 5, "the typed password in the box")
    xwindows.xdotool("key", "Return")
    session.a11y.wait_for_showing("Wrong password", timeout=20)
    field = session.a11y.wait_for_showing("Enter password")
    wait_for(lambda: harness.field_text_length(field) == 0, 5, "the password box to be emptied")
    session.screenshot("actions-unlock-wrong")

    session.type_into("Enter password", PASSWORD)
    xwindows.xdotool("key", "Return")

    output = session.work_path("unlocked_statement")
    unlocked = wait_for(lambda: [name for name in os.listdir(output) if name.endswith(".pdf")]
                        if os.path.isdir(output) else None, 20, "a PDF in unlocked_statement/")
    wait_for(lambda: output in session.opened_paths(), 20, "xdg-open to be asked for the output folder")
    status = subprocess.run(["qpdf", "--is-encrypted", os.path.join(output, unlocked[0])]).returncode
    check(status == 2, f"qpdf --is-encrypted exited with {status}, not 2 (not encrypted)")
    session.screenshot("actions-unlock-done", settled=True)
    session.check_app_running()


harness.main(encrypted_pdf_unlocked)

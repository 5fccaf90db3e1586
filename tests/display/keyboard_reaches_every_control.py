"""A document and a folder dropped on the orb, then the card used from the keyboard: no object
of the app is named with an icon glyph and every control has a name; once a password box has
the keyboard, Tab goes through the close button, the tabs, the rows and the boxes in the order
they are shown, and Return on a row starts it."""

import os

import harness
import keyboard
from pdf_files import text_pdf
from polling import check, wait_for


def check_names(app, where):
    glyphs = keyboard.glyph_names(app)
    check(not glyphs, f"{where}: objects named with icon glyphs: {glyphs}")
    unnamed = keyboard.unnamed_controls(app)
    check(not unnamed, f"{where}: controls without a name: {unnamed}")


def keyboard_reaches_every_control(session):
    session.start_app()
    app = session.a11y
    orb = session.orb()
    check_names(app, "idle")
    notes = session.make_file("notes.pdf", text_pdf(["Meet at the lake at noon."]))
    folder = session.work_path("photos")
    os.makedirs(folder)
    session.drag_from_source(orb.centre(), ["--files", notes, folder])

    # Opening the row gives its first box the keyboard.
    session.click_on("Lock PDF")
    session.wait_for_keyboard("Password")
    check_names(app, "the action card")

    # "Summarize", for a single document only, is shown greyed and takes no focus.
    after_password = ["Confirm password", "Lock", "Extract Text", "Close", "1 Documents", "1 Folders", "Convert to Images",
                      "Lock PDF", "Password"]
    for name in after_password:
        keyboard.press("Tab")
        keyboard.wait_for_focus(app, name)
        if name == "Extract Text":
            session.screenshot("keyboard-focus-on-a-row")

    # Back from the password box past the start of the card to the row, and Return starts it.
    for name in reversed(after_password[after_password.index("Extract Text"):-1]):
        keyboard.press("shift+Tab")
        keyboard.wait_for_focus(app, name)
    keyboard.press("Return")

    output = session.work_path("text_notes")
    written = wait_for(lambda: [name for name in os.listdir(output) if name.endswith(".txt")] if os.path.isdir(output)
                       else None, 20, "a text file in text_notes/")
    with open(os.path.join(output, written[0]), encoding="utf-8") as text:
        check("Meet at the lake at noon." in text.read(), "the extracted text is not the document's")
    session.check_app_running()


harness.main(keyboard_reaches_every_control)

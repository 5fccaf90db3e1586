"""A PDF with text dropped on the orb and "Summarize" clicked: the summary card shows a
structured summary with its "Takeaway", and "Copy to Clipboard" turns to "Copied"."""

import harness
from pdf_files import text_pdf
from polling import wait_for

SENTENCES = [
    "The river survey measured water quality at twelve stations along the valley.",
    "Water quality improved at most stations after the new treatment plant opened.",
    "Nitrate levels fell by a third at the stations below the treatment plant.",
    "Fish counts rose in the lower valley where the water quality improved most.",
    "Two upstream stations still showed high nitrate levels from farm runoff.",
    "The survey recommends new buffer strips along the farms of the upper valley.",
    "Volunteers collected the samples every month for three years of the survey.",
    "The treatment plant and the buffer strips together could restore the river.",
]


def pdf_summary_streams_into_the_card(session):
    session.start_app()
    orb = session.orb()
    report = session.make_file("survey.pdf", text_pdf(SENTENCES))
    session.drag_from_source(session.settled_centre(orb), ["--files", report])

    session.click_on("Summarize")

    session.a11y.wait_for_showing("Copy to Clipboard")
    wait_for(lambda: any("Takeaway" in node.name for node in session.a11y.nodes() if node.showing), 20,
             "the summary's Takeaway section")
    session.screenshot("summary-card", settled=True)
    session.click_on("Copy to Clipboard")
    session.a11y.wait_for_showing("Copied")
    session.screenshot("summary-copied")
    session.check_app_running()


harness.main(pdf_summary_streams_into_the_card)

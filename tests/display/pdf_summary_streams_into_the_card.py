"""A PDF with text dropped on the orb and "Summarize" clicked: the summary card shows a
structured summary with its "Takeaway", and "Copy to Clipboard" turns to "Copied"."""

import harness
from pdf_files import pdf_of_objects
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


def text_pdf(lines):
    """A one-page PDF whose lines are written in Helvetica."""
    content = b"BT /F1 11 Tf 40 760 Td 14 TL " + b" ".join(
        b"(" + line.encode("latin-1") + b") Tj T*" for line in lines) + b" ET"
    objects = [b"<< /Type /Catalog /Pages 2 0 R >>", b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
               b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R"
               b" /Resources << /Font << /F1 5 0 R >> >> >>",
               b"<< /Length %d >>\nstream\n%s\nendstream" % (len(content), content),
               b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"]
    return pdf_of_objects(objects)


def pdf_summary_streams_into_the_card(session):
    session.start_app()
    orb = session.orb()
    report = session.make_file("survey.pdf", text_pdf(SENTENCES))
    session.drag_from_source(session.settled_centre(orb), ["--files", report])

    session.click_on("Summarize")

    session.a11y.wait_for_showing("Copy to Clipboard")
    wait_for(lambda: any("Takeaway" in node.name for node in session.a11y.nodes() if node.showing), 20,
             "the summary's Takeaway section")
    session.screenshot("summary-card")
    session.click_on("Copy to Clipboard")
    session.a11y.wait_for_showing("Copied")
    session.screenshot("summary-copied")
    session.check_app_running()


harness.main(pdf_summary_streams_into_the_card)

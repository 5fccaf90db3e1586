"""Small PDFs written byte by byte for the scenarios."""


def pdf_of_objects(objects):
    """A PDF whose numbered objects are `objects` (object 1 the catalogue), with its
    cross-reference table."""
    document = b"%PDF-1.4\n"
    offsets = []
    for number, body in enumerate(objects, start=1):
        offsets.append(len(document))
        document += b"%d 0 obj\n%s\nendobj\n" % (number, body)
    table = len(document)
    document += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    document += b"".join(b"%010d 00000 n \n" % offset for offset in offsets)
    document += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, table)
    return document


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

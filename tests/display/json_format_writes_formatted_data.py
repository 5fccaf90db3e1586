"""A JSON file dropped on the orb and "Format / Beautify" clicked on the card: the folder
formatted_data/ beside the file holds the formatted document, and the desktop is asked to
open that folder."""

import json
import os

import harness
from polling import check, wait_for


def json_format_writes_formatted_data(session):
    session.start_app()
    orb = session.orb()
    data = session.make_file("data.json", b'{"name":"Ada","langs":["en","fr"],"age":36}')
    session.drag_from_source(session.settled_centre(orb), ["--files", data])

    session.settled_extents("Format / Beautify")
    session.screenshot("actions-json-card")
    session.click_on("Format / Beautify")

    folder = session.work_path("formatted_data")
    written = wait_for(lambda: [name for name in os.listdir(folder) if name.endswith(".json")]
                       if os.path.isdir(folder) else None, 20, "a JSON file in formatted_data/")
    with open(os.path.join(folder, written[0]), encoding="utf-8") as output:
        text = output.read()
    check(json.loads(text) == {"name": "Ada", "langs": ["en", "fr"], "age": 36},
          f"the formatted file holds other data: {text!r}")
    check("\n" in text.strip(), f"the output is not laid out over lines: {text!r}")

    wait_for(lambda: folder in session.opened_paths(), 10, "xdg-open to be asked for formatted_data/")
    session.screenshot("actions-json-formatted", settled=True)
    session.check_app_running()


harness.main(json_format_writes_formatted_data)

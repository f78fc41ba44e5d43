#!/usr/bin/env python3
"""Checks session files (the console's recordings, the virtual printer's
traces) line by line against docs/session.schema.json; with --bridge, lines of
the bridge's wire against docs/bridge.schema.json (which refers to the
session schema for a call).

    scripts/validate-session.py [--bridge] SESSION.jsonl [...]

Exit status 0 when every line is a call of the schema, 1 otherwise (each bad
line is named), 2 when the schema or a file cannot be read."""
import json
import pathlib
import sys

try:
    import jsonschema
except ImportError:
    sys.exit("validate-session: python3-jsonschema is not installed (apt-get install python3-jsonschema)")

DOCS = pathlib.Path(__file__).resolve().parent.parent / "docs"
SCHEMA = DOCS / "session.schema.json"


def main(paths):
    bridge = bool(paths) and paths[0] == "--bridge"
    if bridge:
        paths = paths[1:]
    if not paths:
        print(__doc__, file=sys.stderr)
        return 2
    try:
        session = json.loads(SCHEMA.read_text(encoding="utf-8"))
        schema = json.loads((DOCS / "bridge.schema.json").read_text(encoding="utf-8")) if bridge else session
    except (OSError, ValueError) as e:
        print(f"validate-session: cannot read the schema: {e}", file=sys.stderr)
        return 2
    if bridge:
        # The call refers to the session schema: put it in place, so that no
        # version of jsonschema has to resolve a second file.
        call = {k: v for k, v in session.items() if k not in ("$schema", "$id")}
        schema["oneOf"] = [call if alt == {"$ref": "session.schema.json"} else alt for alt in schema["oneOf"]]
    validator = jsonschema.Draft202012Validator(schema)
    bad = 0
    for path in paths:
        try:
            lines = pathlib.Path(path).read_text(encoding="utf-8").splitlines()
        except (OSError, UnicodeDecodeError) as e:
            print(f"validate-session: cannot read {path}: {e}", file=sys.stderr)
            return 2
        calls = 0
        for number, line in enumerate(lines, 1):
            if not line.strip():
                continue
            try:
                call = json.loads(line)
            except ValueError as e:
                print(f"{path}:{number}: not JSON: {e}")
                bad += 1
                continue
            errors = sorted(validator.iter_errors(call), key=lambda e: list(e.path))
            for e in errors:
                where = "/".join(str(p) for p in e.path) or "(the call)"
                print(f"{path}:{number}: {where}: {e.message}")
            bad += bool(errors)
            calls += 1
        print(f"{path}: {calls} calls checked")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

#!/usr/bin/env python3
"""A host that misbehaves on purpose, for the bridge client's failure paths.

    fake_host.py MODE [--library NAME]

exit      ends at once, saying nothing
nohello   writes lines that are no hello, then waits
garbage   says hello, then answers a call with a line that is no message
long      says hello, then answers a call with more bytes than were offered
silent    says hello, then never answers
dies      says hello, then ends in the middle of the first call
refuses   says hello, then answers every call with an error
"""
import json
import sys
import time

mode = sys.argv[1]
if mode == "exit":
    sys.exit(0)
out = sys.stdout
if mode == "nohello":
    out.write("Wine says something first\n{\"busy\": 1}\n")
    out.flush()
    time.sleep(60)
    sys.exit(0)
hello = {"hello": "tavo-bridge", "protocol": 1, "platform": "test", "dir": "nowhere",
         "libraries": [{"library": "TavoUser", "file": "fake", "loaded": True, "error": "", "missing": []}]}
out.write("a note before the hello\n" + json.dumps(hello) + "\n")
out.flush()
for line in sys.stdin:
    call = json.loads(line)
    if "function" not in call:
        continue
    if call["function"] == "OpenTavo":
        call["status"] = 0
        out.write(json.dumps(call) + "\n")
    elif mode == "garbage":
        out.write("this is not JSON\n")
    elif mode == "long":
        call["length"] = call["length"] + 8
        call["answer"] = "41" * (call["length"])
        out.write(json.dumps(call) + "\n")
    elif mode == "silent":
        time.sleep(60)
    elif mode == "dies":
        sys.exit(3)
    elif mode == "refuses":
        out.write(json.dumps({"error": call["function"] + " is not in TavoUser"}) + "\n")
    out.flush()

#!/usr/bin/env python3
"""Names every failed test found in the JSON results of a sharded test run."""
import glob
import json
import os
import sys

folder = sys.argv[1] if len(sys.argv) > 1 else "build/test-results"
failed = 0
for path in sorted(glob.glob(os.path.join(folder, "*.json"))):
    try:
        with open(path, encoding="utf-8") as f:
            data = json.load(f)
    except (OSError, ValueError) as e:
        print(f"{path}: no readable result ({e}); the shard may have crashed")
        continue
    for suite in data.get("testsuites", []):
        for test in suite.get("testsuite", []):
            for failure in test.get("failures", []):
                failed += 1
                text = failure.get("failure", "").strip().splitlines()
                print(f"FAILED {suite['name']}.{test['name']} ({os.path.basename(path)}): "
                      f"{text[0] if text else ''}")
print(f"{failed} failed test(s) named in {folder}")

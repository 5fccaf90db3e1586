"""The reference side of the summary row: the five sentences whose words are most
frequent in the text, in their order."""
import collections
import re
import sys

text = open(sys.argv[1], encoding="utf-8").read()
sentences = [s.strip() for s in re.split(r"(?<=[.!?])\s+", " ".join(text.split())) if s.strip()]
counts = collections.Counter(w for w in re.findall(r"[a-z']{3,}", text.lower()))
scores = [(sum(counts[w] for w in re.findall(r"[a-z']{3,}", s.lower())) / (1 + len(s.split())), i)
          for i, s in enumerate(sentences)]
chosen = sorted(i for _, i in sorted(scores, reverse=True)[:5])
with open(sys.argv[2], "w", encoding="utf-8") as out:
    out.write("\n".join(sentences[i] for i in chosen) + "\n")

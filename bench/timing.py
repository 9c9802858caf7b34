"""The one timing helper: candidate and baseline alternate, round after round, in one process."""
from __future__ import annotations

import gc
import statistics
import time
from dataclasses import dataclass, field
from typing import Callable


@dataclass
class Benchmark:
    """A candidate and its baseline doing the same work; `target` is the ratio we aim under."""

    name: str
    candidate: Callable[[], object]
    baseline: Callable[[], object]
    target: float | None = None
    rounds: int = 15
    warmup: int = 2
    note: str = ""
    extra: Callable[[], dict] | None = None  # further numbers to report after the run
    # What one sample is: "ms" (the callable's own time, or the ns of a `Measured` it returns),
    # "us" (a `Measured` time per item) or "KB" (a `Measured` amount of bytes, memory per item).
    unit: str = "ms"


@dataclass
class Result:
    name: str
    candidate_ns: list[float] = field(default_factory=list)
    baseline_ns: list[float] = field(default_factory=list)
    target: float | None = None
    extra: dict = field(default_factory=dict)
    unit: str = "ms"

    @property
    def ratio(self) -> float:
        return statistics.median(self.candidate_ns) / statistics.median(self.baseline_ns)

    def spread(self, samples: list[int]) -> float:
        if len(samples) < 2:
            return 0.0
        q = statistics.quantiles(samples, n=4)
        return (q[2] - q[0]) / statistics.median(samples)


@dataclass
class Measured:
    """What a callable returns when it measures itself: nanoseconds, to leave out set-up or a
    deliberate idle wait (per item with unit "us"), or bytes per item with unit "KB"."""

    ns: float


_SCALE = {"ms": 1e6, "us": 1e3, "KB": 1024.0}


def _time(fn: Callable[[], object]) -> float:
    gc.collect()
    start = time.perf_counter_ns()
    out = fn()
    elapsed = time.perf_counter_ns() - start
    return out.ns if isinstance(out, Measured) else elapsed


def run(bench: Benchmark, rounds: int | None = None) -> Result:
    result = Result(bench.name, target=bench.target, unit=bench.unit)
    for _ in range(bench.warmup):
        bench.candidate()
        bench.baseline()
    for i in range(rounds or bench.rounds):
        # Alternate which side goes first so drift hits both alike.
        if i % 2:
            result.baseline_ns.append(_time(bench.baseline))
            result.candidate_ns.append(_time(bench.candidate))
        else:
            result.candidate_ns.append(_time(bench.candidate))
            result.baseline_ns.append(_time(bench.baseline))
    if bench.extra:
        result.extra = bench.extra()
    return result


def report(result: Result) -> str:
    scale = _SCALE.get(result.unit, 1.0)
    c = statistics.median(result.candidate_ns) / scale
    b = statistics.median(result.baseline_ns) / scale
    verdict = ""
    if result.target is not None:
        verdict = "  (target <= %.2f: %s)" % (result.target, "met" if result.ratio <= result.target else "MISSED")
    lines = [
        "%-58s ratio %.3f%s" % (result.name, result.ratio, verdict),
        "    candidate %.3f %s (spread %.0f%%), baseline %.3f %s (spread %.0f%%), n=%d"
        % (c, result.unit, 100 * result.spread(result.candidate_ns), b, result.unit,
           100 * result.spread(result.baseline_ns), len(result.candidate_ns)),
    ]
    for key, value in result.extra.items():
        lines.append(f"    {key}: {value}")
    return "\n".join(lines)

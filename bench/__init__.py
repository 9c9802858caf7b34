"""vantu benchmarks: each candidate is timed against its baseline in the same run."""

#!/usr/bin/env python3
"""The batch calculation as a lab engineer would write it with pandas and numpy.

    pandas_batch.py IN.csv OUT.csv

Reads the CSV (a name column and component columns), forms the three
volume-weighted sums with numpy, and writes the columns of `tarvelo batch`
(name, lambda, rho, hu, the exact values, sum, d, wobbe, flag, reason) with
float_format='%.9g'. The component table is read from kernel/gasdata.cpp, so
that both sides compute with the same values. It is the peer that
`make bench` times against `tarvelo batch`; its numbers are close to
tarvelo's, not bit for bit the same (it computes in double precision).
"""
import pathlib
import re
import sys

import numpy as np
import pandas as pd

LABELS = ["CH4", "C2H6", "C3H8", "ISO-C4H10", "N-C4H10", "C5H12", "C6H14", "C7H16",
          "C2H2", "C2H4", "H2", "CO", "CO2", "N2", "O2", "H2O"]


def component_table():
    source = pathlib.Path(__file__).resolve().parents[2] / "kernel" / "gasdata.cpp"
    rows = re.findall(r"\{([\d.]+)f, ([\d.]+)f, ([\d.]+)f, ([\d.]+)f\}", source.read_text())
    table = np.array(rows, dtype=np.float64)
    assert table.shape == (16, 4), "component table not found in gasdata.cpp"
    return table  # molar mass, density kg/Nm3, calorific value kWh/Nm3, air Nm3/Nm3


def main():
    source, target = sys.argv[1], sys.argv[2]
    table = component_table()
    frame = pd.read_csv(source)
    frame.columns = [c.strip().upper() for c in frame.columns]
    present = [c for c in LABELS if c in frame.columns]
    index = [LABELS.index(c) for c in present]
    percent = frame[present].to_numpy(dtype=np.float64)
    fraction = percent * 0.01
    lam = fraction @ table[index, 3]
    rho = fraction @ table[index, 1] * 1000.0
    hu = fraction @ table[index, 2]
    total = percent.sum(axis=1)
    d = rho / 1293.0
    with np.errstate(divide="ignore", invalid="ignore"):
        wobbe = np.where(d > 0, hu / np.sqrt(d), np.nan)
    out = pd.DataFrame({
        "name": frame["NAME"] if "NAME" in frame.columns else np.arange(1, len(frame) + 1),
        "lambda": lam.round(2), "rho": rho.round(1), "hu": hu.round(2),
        "lambda_exact": lam, "rho_exact": rho, "hu_exact": hu,
        "sum": total, "d": d.round(4), "wobbe": wobbe.round(2),
        "flag": np.where(np.abs(100.0 - total) < 1.0, "", "sum-not-100"),
        "reason": "",
    })
    out.to_csv(target, index=False, float_format="%.9g")


if __name__ == "__main__":
    main()

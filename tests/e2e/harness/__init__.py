"""Runs tarvo32.exe and its test programs under Wine."""

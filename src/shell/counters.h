#pragma once
// Small steps on an integer used by menu navigation and race counters.
bool StepUpWrap(int& v, int lo, int hi);
bool StepDownWrap(int& v, int lo, int hi);
bool TryDecrease(int& v, int lo, int step);
void IncreaseCapped(int& v, int hi, int step);
void DecreaseFloored(int& v, int lo, int step);
void ClampToLow(int& v, int lo, int hi);
void ClampToHigh(int& v, int lo, int hi);

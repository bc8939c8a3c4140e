#include "shell/counters.h"

bool StepUpWrap(int& v, int lo, int hi) {
  if (lo <= v && v < hi) {
    ++v;
    return false;
  }
  v = lo;
  return true;
}

bool StepDownWrap(int& v, int lo, int hi) {
  if (lo < v && v <= hi) {
    --v;
    return false;
  }
  v = hi;
  return true;
}

bool TryDecrease(int& v, int lo, int step) {
  if (v - step >= lo) {
    v -= step;
    return true;
  }
  return false;
}

void IncreaseCapped(int& v, int hi, int step) {
  if (v + step <= hi) v += step;
}

void DecreaseFloored(int& v, int lo, int step) {
  if (v - step >= lo) v -= step;
}

void ClampToLow(int& v, int lo, int hi) {
  if (v < lo || v > hi) v = lo;
}

void ClampToHigh(int& v, int lo, int hi) {
  if (v < lo || v > hi) v = hi;
}

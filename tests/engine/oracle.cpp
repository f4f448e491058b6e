#include "oracle.h"

namespace morvane::oracle {

namespace {

// The templates as four groups L = 1..4 of four digits M = 1..4, and their class.
struct TemplateText {
  const char* groups;
  char cls;
};

constexpr TemplateText kTemplates[27] = {
    {"0212 1012 0212 2222", 'M'},  // 1
    {"1202 1012 1202 2222", 'M'},  // 2
    {"1112 2022 0102 2222", 'M'},  // 3
    {"0102 2022 1112 2222", 'M'},  // 4
    {"0102 2122 1012 2222", 'M'},  // 5
    {"1012 2122 0102 2222", 'M'},  // 6
    {"0212 1102 0212 2222", 'M'},  // 7
    {"1202 0112 1202 2222", 'M'},  // 8
    {"0002 1112 0002 2222", 'C'},  // 9
    {"0102 0102 0102 2222", 'C'},  // 10
    {"2122 1012 2122 2222", 'S'},  // 11
    {"2122 1012 1012 2122", 'S'},  // 12
    {"2112 1001 2112 2222", 'S'},  // 13
    {"2112 1001 1001 2112", 'S'},  // 14
    {"2122 1022 2201 2212", 'S'},  // 15
    {"2212 2201 1022 2122", 'S'},  // 16
    {"2222 2111 1112 2222", 'C'},  // 17
    {"2222 1112 2111 2222", 'C'},  // 18
    {"2212 2112 2112 2122", 'C'},  // 19
    {"2122 2112 2112 2212", 'C'},  // 20
    {"2012 1001 1001 2102", 'C'},  // 21
    {"2102 1001 1001 2012", 'C'},  // 22
    {"2112 0001 1000 2112", 'C'},  // 23
    {"2112 1000 0001 2112", 'C'},  // 24
    {"1122 1022 2201 2211", 'C'},  // 25
    {"2211 2201 1022 1122", 'C'},  // 26
    {"2002 0110 0110 2002", 'S'},  // 27
};

}  // namespace

void marginUpdate(World& w) {
  const int GRO = w.GRO;
  for (int j = 1; j <= 5; ++j) {
    for (int i = -4; i <= GRO + 5; ++i) w.A(i, j - 5) = w.A(i, j + GRO - 6);
  }
  for (int j = 1; j <= 5; ++j) {
    for (int i = -4; i <= GRO + 5; ++i) w.A(i, j + GRO - 1) = w.A(i, j);
  }
  for (int j = 1; j <= 5; ++j) {
    for (int i = -4; i <= GRO + 5; ++i) w.A(j - 5, i) = w.A(j + GRO - 6, i);
  }
  for (int j = 1; j <= 5; ++j) {
    for (int i = -4; i <= GRO + 5; ++i) w.A(j + GRO - 1, i) = w.A(j, i);
  }
}

void generationStep(World& w) {
  for (int I = 1; I <= w.GRO; ++I) {
    for (int J = 1; J <= w.GRO; ++J) {
      int N = 0;
      if (w.A(I - 1, J - 1)) ++N;
      if (w.A(I - 1, J)) ++N;
      if (w.A(I - 1, J + 1)) ++N;
      if (w.A(I, J - 1)) ++N;
      if (w.A(I, J + 1)) ++N;
      if (w.A(I + 1, J - 1)) ++N;
      if (w.A(I + 1, J)) ++N;
      if (w.A(I + 1, J + 1)) ++N;
      for (int NI = 0; NI <= 8; ++NI) {
        if (w.RULES[NI] == 0) w.RULESBOO[NI] = false;
        if (w.RULES[NI] == 1) w.RULESBOO[NI] = true;
        if (w.RULES[NI] == 2) w.RULESBOO[NI] = w.A(I, J) != 0;
      }
      w.B(I, J) = w.RULESBOO[N] ? 1 : 0;
    }
  }
}

void historyUpdate(World& w) {
  w.SAME = 0;
  for (int k = 20; k >= 1; --k) w.SAM[k + 1] = w.SAM[k];
  for (int I = 1; I <= w.GRO; ++I) {
    for (int J = 1; J <= w.GRO; ++J) {
      if (w.A(I, J)) w.SAME = w.SAME + 1;
    }
  }
  w.SAM[1] = w.SAME;
  w.SAMEBOO2 = w.SAMEBOO;
  w.SAMEBOO = 0;
  for (int k = 2; k <= 20; ++k) {
    if (w.SAM[k] == w.SAM[1]) w.SAMEBOO = w.SAMEBOO - 1;
  }
}

void copyBack(World& w) {
  for (int I = 1; I <= w.GRO; ++I) {
    for (int J = 1; J <= w.GRO; ++J) w.A(I, J) = w.B(I, J);
  }
}

int templateEntry(int K, int L, int M) {
  return kTemplates[K - 1].groups[(L - 1) * 5 + (M - 1)] - '0';
}

char templateClass(int K) { return kTemplates[K - 1].cls; }

}  // namespace morvane::oracle

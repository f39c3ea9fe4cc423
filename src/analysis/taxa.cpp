// Fator assintótico medido: reta de mínimos quadrados de ln hist(it) contra it, antes do piso de arredondamento.
#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/analise.h"

// Piso de arredondamento. Quando o resíduo chega ao nível do arredondamento, hist para de cair: as razões
// q(it) = hist(it)/hist(it-1) passam de um valor constante a ~1 (0,9 a 1,1, ao acaso), passando por uns
// poucos ciclos de transição. O piso começa no primeiro ciclo s > primeiro em que, ao mesmo tempo:
//  (a) a média geométrica das razões q(s..s+2) (menos, se a história acaba antes) é >= 0,8: parou de cair;
//  (b) essa média ganha no máximo metade dos dígitos por ciclo da média de q(primeiro+1..s-1): a queda
//      perdeu ao menos metade da velocidade que tinha (um método genuinamente lento, 0,95 do começo ao fim,
//      não tem piso);
//  (c) hist(s-1) <= 1e-6 * max hist(0..s-1): o resíduo já caiu ao menos 6 ordens (uma mudança de fase
//      bem acima do arredondamento, de 0,1 para 0,9, é o fator assintótico e não um piso);
//  (d) alguma razão de s em diante é >= 1: no piso o resíduo sobe e desce ao acaso; um modo lento que aparece
//      depois de muitas ordens (o de um coeficiente que salta por 1e4, 0,96 em todo ciclo) só desce, e é ele o
//      fator assintótico.
// Nível do piso F = mediana de hist(s..fim); o ajuste usa hist(primeiro..ultimo), ultimo = o último ciclo
// antes de s com hist >= 10 F (os ciclos de transição, a menos de uma ordem do piso, ficam de fora).
// Um hist(it) = 0 é o piso em si (ultimo <= it-1); um valor negativo, infinito ou NaN encerra os dados.

namespace {

constexpr double sem_ajuste = std::numeric_limits<double>::quiet_NaN();

double media_log_razoes(std::span<const double> h, int de, int ate) { // média de ln q(de..ate)
    double soma = 0.0;
    for (int it = de; it <= ate; ++it) soma += std::log(h[it] / h[it - 1]);
    return soma / (ate - de + 1);
}

// Primeiro ciclo do piso em h(0..u), ou -1.
int achar_piso(std::span<const double> h, int primeiro, int u) {
    double maximo = 0.0;
    for (int it = 0; it <= primeiro && it <= u; ++it) maximo = std::max(maximo, h[it]);
    for (int s = primeiro + 1; s <= u; ++s) {
        maximo = std::max(maximo, h[s - 1]);
        if (s - 1 < primeiro + 1) continue; // (b) precisa de ao menos uma razão antes
        const int fim = std::min(s + 2, u);
        const double janela = media_log_razoes(h, s, fim);
        const double antes = media_log_razoes(h, primeiro + 1, s - 1);
        if (janela >= std::log(0.8) && janela >= 0.5 * antes && h[s - 1] <= 1e-6 * maximo) {
            bool sobe = false;
            for (int it = s; it <= u && !sobe; ++it) sobe = h[it] >= h[it - 1];
            if (sobe) return s;
        }
    }
    return -1;
}

double mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

} // namespace

taxa_assintotica ajustar_taxa(std::span<const double> hist, int primeiro) {
    taxa_assintotica r;
    r.q_assintotico = sem_ajuste;
    r.r2 = sem_ajuste;
    const int n = static_cast<int>(hist.size()) - 1; // hist(0..n)
    primeiro = std::max(primeiro, 0);
    r.primeiro = primeiro;
    // dados utilizáveis: hist(0..u) positivos e finitos
    int u = -1;
    while (u + 1 <= n && std::isfinite(hist[u + 1]) && hist[u + 1] > 0.0) ++u;
    if (u + 1 <= n && hist[u + 1] == 0.0) r.piso = u + 1;
    int ultimo = u;
    if (u > primeiro) {
        const int s = achar_piso(hist, primeiro, u);
        if (s >= 0) {
            r.piso = s;
            const double f = mediana(std::vector<double>(hist.begin() + s, hist.begin() + u + 1));
            ultimo = s - 1;
            while (ultimo >= primeiro && !(hist[ultimo] >= 10.0 * f)) --ultimo;
        }
    }
    r.ultimo = ultimo;
    const int pontos = ultimo - primeiro + 1;
    if (pontos < 3) return r;
    // mínimos quadrados de y = ln hist(it) contra x = it, centrados
    const double xm = 0.5 * (primeiro + ultimo);
    double ym = 0.0;
    for (int it = primeiro; it <= ultimo; ++it) ym += std::log(hist[it]);
    ym /= pontos;
    double sxx = 0.0, sxy = 0.0, syy = 0.0;
    for (int it = primeiro; it <= ultimo; ++it) {
        const double dx = it - xm, dy = std::log(hist[it]) - ym;
        sxx += dx * dx;
        sxy += dx * dy;
        syy += dy * dy;
    }
    const double b = sxy / sxx;
    double sres = 0.0;
    for (int it = primeiro; it <= ultimo; ++it) {
        const double e = std::log(hist[it]) - (ym + b * (it - xm));
        sres += e * e;
    }
    r.q_assintotico = std::exp(b);
    r.r2 = syy > 0.0 ? 1.0 - sres / syy : 1.0; // reta horizontal exata: R^2 = 1
    r.valido = true;
    return r;
}

taxa_assintotica ajustar_taxa_assintotica(std::span<const double> hist) {
    const taxa_assintotica t = ajustar_taxa(hist, 2);
    const int de = std::max(2, t.ultimo / 2);
    if (de == 2) return t;
    // só os ciclos antes do piso; dentro deles o ajuste procura o piso de novo a partir de `de`
    taxa_assintotica r = ajustar_taxa(hist.first(static_cast<std::size_t>(t.ultimo) + 1), de);
    r.piso = t.piso;
    return r;
}

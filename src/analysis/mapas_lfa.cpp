// Os mapas de Fourier de --lfa --plot, tirados dos mesmos símbolos da análise: |S(theta)| em [-pi, pi)^2, o raio do
// símbolo de dois níveis e o de três níveis do ciclo da rodada nas frequências baixas.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/analise.h"

namespace {

using std::numbers::pi;

// Grade deslocada de meio passo em [de, de + n passo)^2 (em múltiplos de pi): nunca cai em theta = 0.
template <class F> mapa_fourier amostrar(int n, double de, double ate, F&& f) {
    mapa_fourier m;
    m.n = n;
    m.de = de;
    m.passo = (ate - de) / n;
    m.valor.resize(static_cast<std::size_t>(n) * n);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            m.valor[static_cast<std::size_t>(j) * n + i] = f(pi * (de + (i + 0.5) * m.passo), pi * (de + (j + 0.5) * m.passo));
    return m;
}

// Onde o mapa tem o seu maior valor entre os pontos que `dentro` aceita.
template <class F> void marcar(mapa_fourier& m, F&& dentro) {
    double maior = -1.0;
    for (int j = 0; j < m.n; ++j)
        for (int i = 0; i < m.n; ++i) {
            const double t1 = m.de + (i + 0.5) * m.passo, t2 = m.de + (j + 0.5) * m.passo;
            const double v = m.valor[static_cast<std::size_t>(j) * m.n + i];
            if (dentro(t1, t2) && v > maior) {
                maior = v;
                m.onde = {t1, t2};
                m.maior = v;
            }
        }
}

} // namespace

mapas_lfa calcular_mapas_lfa(const metodo_efetivo& m, int nitm, int nm, int nx, int ny, int nxg1, int nyg1) {
    mapas_lfa r;
    const pedido_lfa p = pedido_da_rodada(m, nitm, nm, nx, ny);
    const resultado_lfa lfa = analisar_lfa(p);
    if (p.engrossamento == tipo_engrossamento::x) r.meia_y = 1.0; // só x engrossa: theta2 alto é representado
    if (p.engrossamento == tipo_engrossamento::y) r.meia_x = 1.0;
    const auto alta = [&](double t1, double t2) { return std::fabs(t1) >= r.meia_x || std::fabs(t2) >= r.meia_y; };
    // |S(theta)|: a amplitude que uma varredura deixa do modo theta na sua faixa (alta ou baixa): o módulo do símbolo,
    // ou, com o vermelho-preto, que leva theta também a theta + (pi, pi), a norma da parte da imagem nos harmônicos
    // da mesma faixa (a outra parte é a que a correção grossa trata, ou a que a suavização ainda tem de tratar)
    const auto reduzida = [](double t) { return t - 2.0 * std::floor(0.5 * t + 0.5); }; // em [-1, 1), / pi
    r.suavizacao = amostrar(128, -1.0, 1.0, [&](double t1, double t2) {
        const matriz4 s = simbolo_suavizador(p, t1, t2);
        const bool theta_alta = alta(reduzida(t1 / pi), reduzida(t2 / pi));
        double soma = 0.0;
        for (int b = 0; b < 4; ++b) {
            const double f1 = reduzida(t1 / pi + (b & 1)), f2 = reduzida(t2 / pi + (b >> 1));
            if (alta(f1, f2) == theta_alta) soma += std::norm(s[static_cast<std::size_t>(b) * 4]);
        }
        return std::sqrt(soma);
    });
    r.suavizacao.fator = lfa.mu;
    marcar(r.suavizacao, alta);
    if (nm < 2) return r;
    const auto todas = [](double, double) { return true; };
    r.dois_niveis = amostrar(96, -0.5, 0.5, [&](double t1, double t2) { return raio_dois_niveis(p, t1, t2); });
    r.dois_niveis.fator = lfa.rho;
    marcar(r.dois_niveis, todas);
    const pedido_lfa_k k3 = pedido_k_da_rodada(m, nitm, nm, nx, ny, nxg1, nyg1, 3);
    if (nm >= 3 && metodo_sem_lfa_k(m).empty() && k_niveis_nao_se_aplica(k3) == nullptr) {
        r.tres_niveis = amostrar(64, -0.5, 0.5, [&](double t1, double t2) { return raio_k_niveis(k3, t1, t2); });
        r.tres_niveis.fator = analisar_lfa_k(k3).rho;
        marcar(r.tres_niveis, todas);
    }
    return r;
}

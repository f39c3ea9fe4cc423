// Trabalho de um ciclo em unidades de trabalho (UT): visitas de cada nível, varreduras e transferências.
#include <cmath>
#include <limits>

#include "analysis/analise.h"
#include "state/componentes.h"

// Regras de contagem.
// - Uma varredura no nível k custa (nxg(k)-2)(nyg(k)-2) / ((nxg(nm)-2)(nyg(nm)-2)) UT: os pontos internos
//   do nível contra os do mais fino (um nível sem pontos internos custa 0).
// - gs-sym (ida e volta) e line-alt (linhas x e y) contam 2 por varredura: cada metade passa por todos os
//   pontos, como uma varredura inteira. gs-lex, gs-rb, jacobi, line-x e line-y contam 1: a UT conta
//   passadas pela malha, não operações (a de Thomas faz umas duas vezes as contas de um ponto, mas numa
//   passada só pela memória, que é o que domina nestes tamanhos).
// - Visitas por ciclo: uma chamada do ciclo no nível k > 1 chama no nível k-1: V uma V, W duas W, F uma F e
//   uma V. Daí V visita cada nível 1 vez, W visita o nível k 2^(nm-k) vezes, F visita o nível k nm-k+1 vezes.
// - Cada visita do nível k > 1: pre + pos varreduras, uma restrição e uma prolongação (cada uma conta como
//   uma passada pelo nível k, o fino do par). Cada visita do nível 1: grosso varreduras, ou uma solução
//   exata, contada à parte em solucoes_exatas (o custo de um método direto não é uma varredura).
// - nm = 1: uma iteração externa é nitm varreduras no único nível; sem transferências.
// - A norma L1 do resíduo no fim de cada iteração externa não entra (é a medida, não o método).

namespace {

int contagem(int v) { return v > 0 ? v : 0; }

double internos(int nx, int ny) {
    return nx > 2 && ny > 2 ? static_cast<double>(nx - 2) * static_cast<double>(ny - 2) : 0.0;
}

// Peso de cada nível em UT (índices 1..nm).
std::vector<double> pesos(std::span<const int> nxg, std::span<const int> nyg, int nm) {
    std::vector<double> w(static_cast<std::size_t>(nm) + 1, 0.0);
    const double fino = internos(nxg[nm], nyg[nm]);
    if (fino > 0.0)
        for (int k = 1; k <= nm; ++k) w[k] = internos(nxg[k], nyg[k]) / fino;
    return w;
}

// Visitas de cada nível por um ciclo do tipo t chamado no nível raiz (índices 1..raiz).
std::vector<double> visitas_do_ciclo(tipo_ciclo t, int raiz) {
    const std::size_t n = static_cast<std::size_t>(raiz) + 1;
    std::vector<std::vector<double>> chamadas(ciclos().size(), std::vector<double>(n, 0.0)); // por tipo e nível
    std::vector<double> vis(n, 0.0);
    chamadas[static_cast<std::size_t>(t)][raiz] = 1.0;
    for (int k = raiz; k >= 1; --k) {
        for (const componente_ciclo& c : ciclos()) {
            const double aqui = chamadas[static_cast<std::size_t>(c.tipo)][k];
            vis[k] += aqui;
            if (k == 1) continue;
            for (int i = 0; i < c.chamadas; ++i) chamadas[static_cast<std::size_t>(c.abaixo[i])][k - 1] += aqui;
        }
    }
    return vis;
}

// Soma em t o custo de vis(k) visitas de cada nível k = 1..raiz.
void somar_visitas(trabalho_ciclo& t, const std::vector<double>& vis, const metodo_efetivo& m,
                   const std::vector<double>& w) {
    const double f = componente(m.suavizador).passadas;
    const int raiz = static_cast<int>(vis.size()) - 1;
    for (int k = 1; k <= raiz; ++k) {
        t.visitas[k] += vis[k];
        if (k == 1) {
            if (m.grosso_exato) t.solucoes_exatas += vis[1];
            else t.varreduras += vis[1] * contagem(m.grosso) * f * w[1];
            continue;
        }
        t.varreduras += vis[k] * (contagem(m.pre) + contagem(m.pos)) * f * w[k];
        t.restricoes += vis[k] * w[k];
        t.prolongacoes += vis[k] * w[k];
    }
}

} // namespace

trabalho_ciclo calcular_trabalho(const metodo_efetivo& m, int nitm, std::span<const int> nxg,
                                 std::span<const int> nyg, int nm) {
    trabalho_ciclo t;
    t.visitas.assign(static_cast<std::size_t>(nm) + 1, 0.0);
    const std::vector<double> w = pesos(nxg, nyg, nm);
    if (nm == 1) {
        t.visitas[1] = 1.0;
        t.varreduras = contagem(nitm) * componente(m.suavizador).passadas * w[1];
        return t;
    }
    somar_visitas(t, visitas_do_ciclo(m.ciclo, nm), m, w);
    return t;
}

trabalho_ciclo calcular_trabalho_fmg(const metodo_efetivo& m, std::span<const int> nxg,
                                     std::span<const int> nyg, int nm) {
    trabalho_ciclo t;
    t.visitas.assign(static_cast<std::size_t>(nm) + 1, 0.0);
    if (nm < 2) return t;
    const std::vector<double> w = pesos(nxg, nyg, nm);
    somar_visitas(t, visitas_do_ciclo(m.ciclo, 1), m, w); // tratamento do nível 1
    for (int k = 2; k <= nm; ++k) {
        t.prolongacoes += w[k]; // campo do nível k-1 interpolado no nível k
        std::vector<double> vis = visitas_do_ciclo(m.ciclo, k);
        vis.resize(static_cast<std::size_t>(nm) + 1, 0.0);
        somar_visitas(t, vis, m, w);
    }
    return t;
}

double fator_por_trabalho(double q, double ut) {
    if (!(q > 0.0) || !(ut > 0.0)) return std::numeric_limits<double>::quiet_NaN();
    return std::exp(std::log(q) / ut);
}

double digitos_por_trabalho(double q, double ut) {
    if (!(q > 0.0) || !(ut > 0.0)) return std::numeric_limits<double>::quiet_NaN();
    return -std::log10(q) / ut;
}

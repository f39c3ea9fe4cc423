// As cifras de uma rodada: a teoria (LFA) e a medida (fator ajustado, trabalho, erro dividido) do estado e do método.
#include <algorithm>

#include "analysis/analise.h"
#include "solver/solver.h"
#include "state/estado.h"

pedido_lfa pedido_da_rodada(const metodo_efetivo& m, int nitm, int nm, int nx, int ny) {
    // os coeficientes do nível mais fino, como operador_constante os forma (eps em ae)
    const double dx = 1.0 / static_cast<double>(nx - 1), dy = 1.0 / static_cast<double>(ny - 1);
    const operador_nivel o = operador_constante(dx, dy, m.eps);
    pedido_lfa p = pedido_do_metodo(m, o.ae, o.an);
    if (nm == 1) { // uma iteração externa: nitm varreduras, sem correção grossa
        p.nu1 = nitm > 0 ? nitm : 0;
        p.nu2 = 0;
    }
    return p;
}

std::vector<linha_lfa> tabela_lfa(const metodo_efetivo& m, int nitm, int nm, int nx, int ny) {
    if (m.operador_variavel) return {}; // sem símbolo de Fourier: a análise não se aplica
    const pedido_lfa rodada = pedido_da_rodada(m, nitm, nm, nx, ny);
    std::vector<linha_lfa> linhas;
    auto analisar = [&](int nu1, int nu2) {
        pedido_lfa p = rodada;
        p.nu1 = nu1;
        p.nu2 = nu2;
        const resultado_lfa r = analisar_lfa(p);
        linha_lfa l;
        l.nu1 = nu1;
        l.nu2 = nu2;
        l.mu = r.mu;
        l.mu_nu = r.mu_nu;
        l.rho = nm >= 2 ? r.rho : sem_cifra;
        l.da_rodada = nu1 == rodada.nu1 && nu2 == rodada.nu2;
        return l;
    };
    bool tem_rodada = false;
    for (int nu = 1; nu <= 4; ++nu) { // com nm = 1, nu varreduras por iteração
        linhas.push_back(nm >= 2 ? analisar((nu + 1) / 2, nu / 2) : analisar(nu, 0));
        tem_rodada = tem_rodada || linhas.back().da_rodada;
    }
    if (!tem_rodada) linhas.push_back(analisar(rodada.nu1, rodada.nu2));
    return linhas;
}

cifras_rodada calcular_cifras(const estado_execucao& e, const metodo_efetivo& m) {
    cifras_rodada c;
    const int nm = e.nm, nx = e.nxg[nm], ny = e.nyg[nm];

    const pedido_lfa p = pedido_da_rodada(m, e.nitm, nm, nx, ny);
    c.ae_an = p.ae / p.an;
    c.nu1 = p.nu1;
    c.nu2 = p.nu2;
    c.lfa_aplica = !m.operador_variavel;
    if (c.lfa_aplica) {
        const resultado_lfa lfa = analisar_lfa(p);
        c.mu_lfa = lfa.mu;
        c.mu_nu_lfa = lfa.mu_nu;
        c.rho_lfa = nm >= 2 ? lfa.rho : sem_cifra;
        c.rho_lfa_k = rho_k_niveis_da_rodada(m, e.nitm, nm, nx, ny, e.nxg[1], e.nyg[1]);
    }

    const auto n = static_cast<std::size_t>(std::max(0LL, e.niter)) + 1;
    const taxa_assintotica t = ajustar_taxa_assintotica(std::span<const double>(e.hist.data(), std::min(n, e.hist.size())));
    if (t.valido) {
        c.q_assintotico = t.q_assintotico;
        c.r2 = t.r2;
        c.ajuste_de = t.primeiro;
        c.ajuste_ate = t.ultimo;
    }
    c.piso = t.piso;

    const trabalho_ciclo w = calcular_trabalho(m, e.nitm, e.nxg, e.nyg, nm);
    c.trabalho_ciclo = w.varreduras;
    c.transferencias_ciclo = w.restricoes + w.prolongacoes;
    c.solucoes_exatas_ciclo = w.solucoes_exatas;
    if (m.fmg) c.trabalho_fmg = calcular_trabalho_fmg(m, e.nxg, e.nyg, nm).varreduras;
    c.q_por_trabalho = fator_por_trabalho(c.q_assintotico, c.trabalho_ciclo);
    c.digitos_por_trabalho = digitos_por_trabalho(c.q_assintotico, c.trabalho_ciclo);

    const erro_dividido d = dividir_erro(preparar_solucao_discreta(m, nx, ny), e.T);
    c.erro_algebrico_max = d.algebrico_max;
    c.erro_algebrico_medio = d.algebrico_medio;
    c.erro_discretizacao_max = d.discretizacao_max;
    c.erro_discretizacao_medio = d.discretizacao_medio;
    c.solucao_exata = m.solucao_exata;
    c.erro = calcular_erro_exato(e, m);
    return c;
}

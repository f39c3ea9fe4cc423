// O julgamento de uma rodada: o veredito depois da solução (pelo teste que a parou e pelo fator ajustado) e, antes
// dela, a previsão da LFA de que o método não deve convergir, com o porquê.
#include <algorithm>
#include <cmath>

#include "analysis/analise.h"

veredito julgar_rodada(const estado_execucao& e) {
    if (e.parada == motivo_parada::divergencia) return veredito::divergiu;
    if (e.parada == motivo_parada::tolerancia) return veredito::convergiu;
    const auto n = static_cast<std::size_t>(std::max(0LL, e.niter)) + 1;
    const std::span<const double> h(e.hist.data(), std::min(n, e.hist.size()));
    if (!h.empty() && h.front() == 0.0 && h.back() == 0.0) return veredito::convergiu; // nada a reduzir
    const taxa_assintotica t = ajustar_taxa_assintotica(h);
    return t.valido && t.q_assintotico >= fator_de_estagnacao ? veredito::estagnou : veredito::parou;
}

namespace {

// Uma olhada rápida no fator de dois níveis, antes de toda solução multigrid: uma grade de 16 x 16 frequências
// baixas (a metade theta2 > 0) e oito perto de theta = 0, onde o sup de uma correção grossa que não converge fica
// (ali o fator tende a 1). Só quando ela chega perto de 1 a análise inteira (milhares de frequências) decide.
double olhada_no_fator(const pedido_lfa& p) {
    constexpr double pi = 3.141592653589793;
    constexpr int n = 16;
    double maior = 0.0;
    for (int k2 = n / 2; k2 < n; ++k2)
        for (int k1 = 0; k1 < n; ++k1)
            maior = std::max(maior, raio_dois_niveis(p, -0.5 * pi + (k1 + 0.5) * pi / n, -0.5 * pi + (k2 + 0.5) * pi / n));
    for (double t : {1e-3, 1e-2})
        for (const auto& [a, b] : {std::pair{t, 0.0}, {0.0, t}, {t, t}, {t, -t}}) maior = std::max(maior, raio_dois_niveis(p, a, b));
    return maior;
}

} // namespace

previsao_lfa prever_convergencia(const metodo_efetivo& m, int nitm, int nm, int nx, int ny) {
    previsao_lfa p;
    if (nm < 2) return p; // numa malha só a LFA não dá o fator da iteração
    const pedido_lfa pedido = pedido_da_rodada(m, nitm, nm, nx, ny);
    const double olhada = olhada_no_fator(pedido);
    if (olhada < 0.999) { // longe de 1: converge (o valor fica para as cifras, se alguma saída as mostra)
        p.rho = olhada;
        return p;
    }
    const resultado_lfa r = analisar_lfa(pedido);
    p.rho = r.rho;
    p.mu = r.mu;
    if (!(r.rho >= rho_sem_convergencia)) return p;
    if (pedido.nu1 + pedido.nu2 <= 0) p.causa = causa_divergencia::sem_suavizacao;
    else if (r.mu >= 1.0) p.causa = causa_divergencia::suavizador;
    else if (m.suavizador == tipo_suavizador::gs_rb && m.restricao == tipo_restricao::injecao)
        p.causa = causa_divergencia::vermelho_preto_injecao;
    else p.causa = causa_divergencia::correcao_grossa;
    return p;
}

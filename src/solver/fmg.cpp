// Início por multigrid completo: cada nível resolve o seu próprio problema (o seu operador, os seus valores de
// Dirichlet, lado direito 0 ou a fonte nos seus pontos), partindo da interpolação bilinear do resultado do nível
// abaixo, com um ciclo.
#include <algorithm>

#include "solver/cronometro.h"
#include "solver/solver.h"

namespace {

// O campo do nível corrente (T no mais fino; senão cor, com res = 0, ou com a fonte nos pontos internos) todo
// zerado. O ponto (I, J) do nível k coincide com o ponto ((I-1)*2^(nm-k) + 1, (J-1)*2^(nm-k) + 1) do mais fino, de
// coordenadas com os mesmos bits: a fonte injetada é a fonte calculada no nível.
void zerar_campo(estado_execucao& e) {
    const vista_nivel v = nivel_corrente(e);
    std::fill(v.u + 1, v.u + 1 + e.nxyk, 0.0);
    if (e.k == e.nm) return;
    double* r = e.res.data() + e.ofsk;
    std::fill(r + 1, r + 1 + e.nxyk, 0.0);
    if (e.fonte.empty()) return;
    const long passo = 1L << (e.nm - e.k), nxf = e.nxg[e.nm];
    for (long J = 2; J <= e.nyk - 1; ++J)
        for (long I = 2; I <= e.nxk - 1; ++I)
            r[I + (J - 1) * e.nxk] = e.fonte[static_cast<std::size_t>((I - 1) * passo + 1 + (J - 1) * passo * nxf)];
}

} // namespace

void inicio_fmg(estado_execucao& e, plano_solver& p) {
    selecionar_nivel(e, 1);
    coeficientes(e);
    zerar_campo(e);
    contornos_em(e, p.problema, nivel_corrente(e).u);
    tratar_nivel_grosso(e, p);
    for (int k = 2; k <= e.nm; ++k) {
        selecionar_nivel(e, k);
        coeficientes(e);
        zerar_campo(e);
        {
            const cronometro_fase c(p.tempos, k, fase_tempo::prolongacao);
            if (k == e.nm) prolongar_em_T(e); // soma a interpolação do campo de k-1, contorno dele incluído
            else prolongar_correcao(e);
        }
        contornos_em(e, p.problema, nivel_corrente(e).u);
        ciclo(e, p, k, p.ciclo);
    }
}

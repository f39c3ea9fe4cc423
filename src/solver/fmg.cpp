// Início por multigrid completo: cada nível resolve o seu próprio problema (o seu operador, os seus valores de
// Dirichlet, lado direito 0 ou a fonte nos seus pontos), partindo da interpolação (a da rodada) do resultado do
// nível abaixo, com um ciclo.
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
    // com semiengrossamento só a direção engrossada salta (doc/metodo.md, 12.1)
    const long passo_x = e.nxk == e.nxg[e.nm] ? 1 : 1L << (e.nm - e.k);
    const long passo_y = e.nyk == e.nyg[e.nm] ? 1 : 1L << (e.nm - e.k);
    const long nxf = e.nxg[e.nm];
    for (long J = 2; J <= e.nyk - 1; ++J)
        for (long I = 2; I <= e.nxk - 1; ++I)
            r[I + (J - 1) * e.nxk] = e.fonte[static_cast<std::size_t>((I - 1) * passo_x + 1 + (J - 1) * passo_y * nxf)];
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
            // soma a interpolação do campo de k-1, contorno dele incluído
            const cronometro_fase c(p.tempos, k, fase_tempo::prolongacao);
            p.nucleos[static_cast<std::size_t>(k)].prolongar(nivel_corrente(e), nivel_abaixo_do_corrente(e));
        }
        contornos_em(e, p.problema, nivel_corrente(e).u);
        ciclo(e, p, k, p.ciclo);
    }
}

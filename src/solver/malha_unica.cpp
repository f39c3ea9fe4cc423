#include <new>
#include <string>

#include "platform/plataforma.h"
#include "run/erro_fatal.h"
#include "solver/solver.h"

namespace {

void criar(std::vector<double>& v, long n, const char* nome) {
    if (n < 0) n = 0;
    try {
        v.assign(static_cast<std::size_t>(n) + 1, 0.0);
    } catch (const std::bad_alloc&) {
        throw erro_fatal("out of memory allocating " + std::string(nome) + " ("
                         + std::to_string((n + 1) * 8L) + " bytes)");
    }
}

} // namespace

void criar_campo(estado_execucao& e, long n) { criar(e.T, n, "T"); }
void criar_niveis_grossos(estado_execucao& e, long n) {
    criar(e.cor, n, "cor");
    criar(e.res, n, "res");
}

void resolver_malha_unica(estado_execucao& e) {
    const double t0 = tempo_processador();
    criar_campo(e, e.nxyg[1]);
    e.nxk = e.nxg[1];
    e.nyk = e.nyg[1];
    e.nxyk = e.nxk * e.nyk;
    e.dx = 1.0 / static_cast<double>(e.nxk - 1);
    e.dy = 1.0 / static_cast<double>(e.nyk - 1);
    preparar_campo_inicial(e);
    iteracoes_externas(e, [](estado_execucao& x) {
        if (x.ajustes.rapidos) {
            passada_rapida(x, false, false, true);
        } else {
            gauss_seidel(x);
            norma_l1(x);
        }
    });
    e.tcpu = tempo_processador() - t0;
}

// it = 1, 2, ...: a iteração deixa a norma em rnorm; para no teste de tolerância ou depois de itmax.
void iteracoes_externas(estado_execucao& e, void (*iteracao)(estado_execucao&)) {
    e.it = 1;
    for (int n = 0; n < e.itmax; ++n) {
        iteracao(e);
        e.hist[e.it] = e.rnorm;
        if (e.ao_iterar) e.ao_iterar(e);
        if (e.tolt >= e.hist[e.it] / e.hist[0]) break;
        ++e.it;
    }
    e.niter = e.itmax < e.it ? e.itmax : e.it;
    if (e.niter < 0) e.niter = 0;
}

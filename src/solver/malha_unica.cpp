// A solução numa só malha, a criação das grades e o laço das iterações externas comum às duas soluções.
#include <cmath>
#include <cstddef>
#include <new>
#include <string>

#include "platform/plataforma.h"
#include "state/erro_fatal.h"
#include "solver/cronometro.h"
#include "solver/solver.h"

namespace {

// Zeros vindos do sistema: nenhuma passada de preenchimento, as páginas são tocadas pela primeira escrita.
void criar(vetor_grande& v, long n, const char* nome) {
    if (n < 0) n = 0;
    try {
        v = vetor_grande(static_cast<std::size_t>(n) + 1);
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

void resolver_malha_unica(estado_execucao& e, const metodo_efetivo& metodo, const ajustes_solver& ajustes,
                          const aviso_iteracao& aviso) {
    const double t0 = tempo_processador();
    criar_campo(e, e.nxyg[1]);
    selecionar_nivel(e, 1);
    equipe eq(ajustes.threads, ajustes.instrucoes);
    e.threads = eq.tamanho();
    plano_solver p;
    planejar_solver(p, e, metodo, ajustes, eq);
    e.instrucoes = instrucoes_da_solucao(p, eq);
    if (ajustes.rapidos && ajustes.reinicio.empty() && serve_campo_inicial_rapido(e, metodo))
        campo_inicial_rapido(e, metodo);
    else
        preparar_campo_inicial(e, metodo, ajustes.reinicio);
    if (ajustes.ao_comecar) ajustes.ao_comecar(e);
    // nitm varreduras do suavizador, depois a norma (na mesma passada quando rápida)
    const std::function<void()> varreduras = [&] {
        if (p.rapido) {
            const cronometro_fase c(p.tempos, 1, fase_tempo::suavizacao_norma);
            passada_rapida(e, com_suavizador(p, {.varreduras = e.nitm, .norma = true}), eq);
        } else {
            {
                const cronometro_fase c(p.tempos, 1, fase_tempo::suavizacao);
                suavizar_nivel(e, p, e.nitm);
            }
            const cronometro_fase c(p.tempos, 1, fase_tempo::norma);
            norma_l1(e);
        }
    };
    if (metodo.krylov.tipo != tipo_krylov::nenhum) iteracoes_krylov(e, metodo.krylov, varreduras, aviso);
    else iteracoes_externas(e, varreduras, aviso);
    e.tcpu = tempo_processador() - t0;
}

namespace {

// hist cresce com as iterações: um itmax enorme não reserva memória que a rodada talvez nunca use.
void guardar_norma(estado_execucao& e) {
    const auto i = static_cast<std::size_t>(e.it);
    if (i >= e.hist.size()) {
        try {
            e.hist.resize(i + 1);
        } catch (const std::bad_alloc&) {
            throw erro_fatal("out of memory growing hist to " + std::to_string(i + 1) + " entries (iteration " +
                             std::to_string(e.it) + ")");
        }
    }
    e.hist[i] = e.rnorm;
}

} // namespace

bool divergiu(double h0, double h) { return !std::isfinite(h) || (h0 > 0.0 && h / h0 > razao_de_divergencia); }

void iteracoes_externas(estado_execucao& e, const std::function<void()>& iteracao, const aviso_iteracao& aviso) {
    e.it = 1;
    e.parada = motivo_parada::iteracoes;
    for (long long n = 0; n < e.itmax; ++n) {
        iteracao();
        guardar_norma(e);
        if (aviso) aviso(e);
        if (!e.ruptura.empty()) { // o método de Krylov não pôde continuar: nunca parece sucesso
            e.parada = motivo_parada::divergencia;
            break;
        }
        if (e.tolt >= e.hist[e.it] / e.hist[0]) {
            e.parada = motivo_parada::tolerancia;
            break;
        }
        if (divergiu(e.hist[0], e.hist[e.it])) {
            e.parada = motivo_parada::divergencia;
            break;
        }
        ++e.it;
    }
    e.niter = e.itmax < e.it ? e.itmax : e.it;
    if (e.niter < 0) e.niter = 0;
}

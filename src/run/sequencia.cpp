#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/plataforma.h"
#include "report/listagem.h"
#include "run/erro_fatal.h"
#include "run/execucao.h"
#include "solver/solver.h"

// Os processadores ociosos: com outros processos ocupando processadores, uma thread a mais só espera pela
// outra nas divisas das fatias (medido: 1,5 a 2 vezes mais lento com dois compiladores rodando em 2 processadores).
int threads_padrao(int processadores, double carga) {
    const long ociosos = processadores - std::lround(carga);
    return static_cast<int>(std::clamp<long>(ociosos, 1, processadores));
}

void executar(estado_execucao& e, const std::string& arquivo) {
    opcoes_execucao o;
    o.entrada = arquivo;
    executar(e, o);
}

// Editor e leitura da entrada, solução, listagem completa, saídas pedidas e editor sobre a listagem.
int executar(estado_execucao& e, const opcoes_execucao& o) {
    ler_dados(e, o.entrada, o.editar);
    aviso_iteracao aviso;
    if (o.monitor) {
        aviso = [](const estado_execucao& x) {
            std::fputs(linha_monitor(x).c_str(), stdout);
            std::fflush(stdout);
        };
    }
    // nunca mais threads que processadores (afinidade e cota do cgroup), peça o que pedir -j: threads a mais só
    // disputariam os mesmos processadores
    e.processadores = processadores_disponiveis();
    e.threads_pedidas = o.threads > 0 ? o.threads : threads_padrao(e.processadores, carga_do_sistema());
    ajustes_solver ajustes;
    ajustes.threads = std::min(e.threads_pedidas, e.processadores);
    const metodo_solver metodo;
    const double t0 = tempo_parede();
    if (e.nm == 1)
        resolver_malha_unica(e, metodo, ajustes, aviso);
    else
        resolver_multigrid(e, metodo, ajustes, aviso);
    e.tparede = tempo_parede() - t0;

    const bool pede_erro = o.monitor || !o.resumo.empty();
    const erro_exato erro = pede_erro ? calcular_erro_exato(e) : erro_exato{};
    if (o.monitor) {
        std::fputs(sumario_monitor(e, erro).c_str(), stdout);
        std::fflush(stdout);
    }

    data_e_hora(e);
    const std::string nome = sem_brancos_finais(e.caso);
    gravar_listagem(nome, e);

    if (o.csv == "-") {
        const std::string h = historico_csv(e);
        if (std::fwrite(h.data(), 1, h.size(), stdout) != h.size() || std::fflush(stdout) != 0)
            throw erro_fatal("write error on standard output (--csv -)");
    } else if (!o.csv.empty()) {
        gravar_atomico(o.csv, historico_csv(e), "--csv");
    }
    if (!o.resumo.empty()) anexar_resumo(o.resumo, linha_resumo(e, erro));
    int codigo = 0;
    if (!o.grafico.empty() && !desenhar_graficos(e, o.grafico)) {
        std::fprintf(stderr, "placa: gnuplot not found, so %s-convergencia.svg and %s-campo.svg were not drawn "
                             "(install gnuplot-nox)\n", o.grafico.c_str(), o.grafico.c_str());
        codigo = 1;
    }
    if (o.editar) executar_editor(nome);
    return codigo;
}

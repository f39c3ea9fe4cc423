#include <cstdio>

#include "platform/plataforma.h"
#include "report/listagem.h"
#include "run/erro_fatal.h"
#include "run/execucao.h"
#include "solver/solver.h"

void executar(estado_execucao& e, const std::string& arquivo) {
    opcoes_execucao o;
    o.entrada = arquivo;
    executar(e, o);
}

// Editor e leitura da entrada, solução, listagem completa, saídas pedidas e editor sobre a listagem.
int executar(estado_execucao& e, const opcoes_execucao& o) {
    ler_dados(e, o.entrada, o.editar);
    const metodo_solver& metodo = o.metodo;
    planejar_memoria(e, metodo);
    for (const std::string& a : avisos_metodo(metodo, e.nm)) std::fprintf(stderr, "placa: warning: %s\n", a.c_str());
    aviso_iteracao aviso;
    if (o.monitor) {
        std::fputs(linha_metodo_monitor(e, metodo).c_str(), stdout);
        std::fflush(stdout);
        aviso = [](const estado_execucao& x) {
            std::fputs(linha_monitor(x).c_str(), stdout);
            std::fflush(stdout);
        };
    }
    ajustes_solver ajustes;
    ajustes.threads = o.threads > 0 ? o.threads : processadores_disponiveis();
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
    gravar_listagem(nome, e, metodo);

    if (o.csv == "-") {
        const std::string h = historico_csv(e, metodo);
        if (std::fwrite(h.data(), 1, h.size(), stdout) != h.size() || std::fflush(stdout) != 0)
            throw erro_fatal("write error on standard output (--csv -)");
    } else if (!o.csv.empty()) {
        gravar_atomico(o.csv, historico_csv(e, metodo), "--csv");
    }
    if (!o.resumo.empty()) anexar_resumo(o.resumo, linha_resumo(e, erro, metodo));
    int codigo = 0;
    if (!o.grafico.empty() && !desenhar_graficos(e, o.grafico)) {
        std::fprintf(stderr, "placa: gnuplot not found, so %s-convergencia.svg and %s-campo.svg were not drawn "
                             "(install gnuplot-nox)\n", o.grafico.c_str(), o.grafico.c_str());
        codigo = 1;
    }
    if (o.editar) executar_editor(nome);
    return codigo;
}

#include "platform/plataforma.h"
#include "report/listagem.h"
#include "run/execucao.h"
#include "solver/solver.h"

// Editor e leitura da entrada, solução, listagem completa e editor sobre a listagem.
void executar(estado_execucao& e, const std::string& arquivo) {
    ler_dados(e, arquivo);
    if (e.nm == 1)
        resolver_malha_unica(e);
    else
        resolver_multigrid(e);
    data_e_hora(e);
    std::string nome = e.caso;
    nome.erase(nome.find_last_not_of(' ') + 1);
    gravar_listagem(nome, montar_listagem(e));
    executar_editor(nome);
}

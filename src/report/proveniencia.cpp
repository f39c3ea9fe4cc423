// A proveniência de uma rodada: versão, commit, compilador, máquina, processador, threads e instruções usadas.
#include "platform/plataforma.h"
#include "proveniencia.h"
#include "report/listagem.h"
#include "versao.h"

namespace {

std::string compilador() {
#if defined(__clang__)
    return "clang " __clang_version__;
#elif defined(__GNUC__)
    return "gcc " __VERSION__;
#else
    return "unknown";
#endif
}

} // namespace

proveniencia proveniencia_da_rodada(const estado_execucao& e) {
    static const std::string maquina = nome_da_maquina(), processador = modelo_do_processador();
    proveniencia p;
    p.versao = PLACA_VERSAO;
    p.commit = PLACA_COMMIT;
    p.compilador = sem_brancos_finais(compilador());
    p.maquina = maquina;
    p.processador = processador;
    p.threads = e.threads;
    p.instrucoes = e.instrucoes;
    return p;
}

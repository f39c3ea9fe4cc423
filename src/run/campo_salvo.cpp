// O campo da rodada para o numpy: os arquivos de --save-field preparados no conjunto das saídas, e o campo de
// partida de tipo_ci = 2 (o reinício), que só vale quando nenhum outro início o substitui.
#include "report/campo_npy.h"
#include "run/reinicio.h"

std::vector<std::string> arquivos_do_campo(const opcoes_execucao& o) {
    if (o.campo.empty()) return {};
    std::vector<std::string> r{o.campo, arquivo_da_descricao(o.campo)};
    if (o.csv_erros) r.push_back(arquivo_do_erro(o.campo));
    return r;
}

void preparar_campo_final(const estado_execucao& e, const opcoes_execucao& o, const metodo_efetivo& m,
                          const solucao_discreta& discreta, conjunto_saidas& saidas) {
    const int nx = e.nxg[e.nm], ny = e.nyg[e.nm];
    saidas.preparar(o.campo, "--save-field", [&](saida_texto& s) { escrever_campo_npy(s, e.T, nx, ny); });
    saidas.preparar(arquivo_da_descricao(o.campo), "--save-field",
                    [&](saida_texto& s) { s.bruto(descricao_campo(e, m)); });
    if (!o.csv_erros) return;
    const std::vector<double> erro = campo_erro_algebrico(discreta, e.T);
    saidas.preparar(arquivo_do_erro(o.campo), "--save-field", [&](saida_texto& s) { escrever_campo_npy(s, erro, nx, ny); });
}

std::vector<double> reinicio_da_rodada(const estado_execucao& e, const opcoes_execucao& o, const metodo_efetivo& m) {
    if (e.tipo_ci != 2) {
        if (!o.reinicio.empty())
            escrever_mensagem("warning: --restart " + o.reinicio + " is read only with tipo_ci = 2 (this input has "
                              "tipo_ci = " + std::to_string(e.tipo_ci) + "); the run starts as tipo_ci says");
        return {};
    }
    if (m.inicio == tipo_inicio::aleatorio || m.fmg) {
        escrever_mensagem(std::string("warning: tipo_ci = 2 (restart) is not used: ") +
                          (m.fmg ? "--fmg starts from its own coarse-grid solution"
                                 : "--start random gives the start field") +
                          "; no restart file is read");
        return {};
    }
    return ler_reinicio(e, m, arquivo_de_reinicio(e, o));
}

// O campo salvo e o reinício: os arquivos de --save-field preparados no conjunto das saídas; com tipo_ci = 2, o campo
// salvo e a sua descrição lidos e conferidos contra a grade, o problema e o operador da rodada (qualquer falha recusa
// a rodada antes da solução, com o arquivo e o porquê), quando nenhum outro início o substitui.
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "platform/plataforma.h"
#include "report/campo_npy.h"
#include "state/erro_fatal.h"
#include "run/reinicio.h"

namespace {

[[noreturn]] void recusar(const std::string& arquivo, const std::string& porque) {
    throw erro_fatal("cannot restart (tipo_ci = 2) from " + arquivo + ": " + porque + "; nothing was solved");
}

std::string forma(long long ny, long long nx) { return "(" + std::to_string(ny) + ", " + std::to_string(nx) + ")"; }

// A descrição ao lado do campo contra a rodada: formato, forma, problema, eps e coeficiente.
void conferir_descricao(const std::string& arquivo, long long ny, long long nx, const metodo_efetivo& m) {
    const std::string nome = arquivo_da_descricao(arquivo);
    std::string texto;
    if (falha_arquivo f = ler_arquivo(nome, 1 << 20, texto))
        recusar(arquivo, "its description " + nome + " (written beside it by --save-field) cannot be read: " +
                             descrever(f));
    std::map<std::string, valor_objeto_json> d;
    if (std::string erro = ler_objeto_json(texto, d); !erro.empty())
        recusar(arquivo, "its description " + nome + " is not valid: " + erro);
    const auto valor = [&](const char* chave) {
        const auto i = d.find(chave);
        if (i == d.end()) recusar(arquivo, "its description " + nome + " lacks \"" + chave + "\"");
        return i->second;
    };
    if (valor("format").texto != "placa field" || valor("version").texto != "1")
        recusar(arquivo, "its description " + nome + " is not a placa field description of version 1");
    const valor_objeto_json f = valor("shape");
    if (f.itens != std::vector<std::string>{std::to_string(ny), std::to_string(nx)})
        recusar(arquivo, "its description " + nome + " gives another shape than the .npy header " + forma(ny, nx));
    const std::pair<const char*, std::string> conferidos[] = {{"problem", texto_problema(m.problema)},
                                                              {"coefficient", texto_coeficiente(m.coeficiente)}};
    for (const auto& [chave, desta] : conferidos)
        if (valor(chave).texto != desta)
            recusar(arquivo, "it was solved with --" + std::string(chave) + " " + valor(chave).texto +
                                 ", this run has --" + chave + " " + desta);
    const std::string eps = valor("eps").texto;
    char* fim = nullptr;
    const double v = std::strtod(eps.c_str(), &fim);
    if (eps.empty() || *fim != '\0' || v != m.eps)
        recusar(arquivo, "it was solved with --eps " + eps + ", this run has --eps " + texto_numero(m.eps));
}

} // namespace

std::string arquivo_de_reinicio(const estado_execucao& e, const opcoes_execucao& o) {
    if (!o.reinicio.empty()) return o.reinicio;
    const std::string& l = e.arquivo_listagem;
    const std::size_t barra = l.rfind('/'), ponto = l.rfind('.');
    const bool tem_extensao = ponto != std::string::npos && ponto > 0 && (barra == std::string::npos || ponto > barra + 1);
    return (tem_extensao ? l.substr(0, ponto) : l) + ".npy";
}

std::vector<double> ler_reinicio(const estado_execucao& e, const metodo_efetivo& m, const std::string& arquivo) {
    const long long nx = e.nxg[e.nm], ny = e.nyg[e.nm];
    std::string bytes;
    if (falha_arquivo f = ler_arquivo(arquivo, static_cast<std::size_t>(nx * ny * 8) + (1 << 20), bytes)) {
        if (f.codigo == EFBIG) recusar(arquivo, "it is larger than a field of this run's grid " + forma(ny, nx));
        recusar(arquivo, descrever(f) + (f.codigo == ENOENT ? " (write it with --save-field FILE, or name another "
                                                              "file with --restart FILE)" : ""));
    }
    cabecalho_npy_lido c;
    if (std::string erro = ler_cabecalho_npy(bytes, c); !erro.empty()) recusar(arquivo, erro);
    if (c.ny != ny || c.nx != nx)
        recusar(arquivo, "its shape " + forma(c.ny, c.nx) + " is not this run's grid (ny, nx) = " + forma(ny, nx));
    conferir_descricao(arquivo, ny, nx, m);
    std::vector<double> campo(static_cast<std::size_t>(nx * ny));
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + c.inicio);
    for (std::size_t k = 0; k < campo.size(); ++k, p += 8) {
        std::uint64_t u = 0;
        for (int b = 7; b >= 0; --b) u = u << 8 | p[b];
        campo[k] = std::bit_cast<double>(u);
        if (!std::isfinite(campo[k]))
            recusar(arquivo, "its value at [j, i] = [" + std::to_string(static_cast<long long>(k) / nx) + ", " +
                                 std::to_string(static_cast<long long>(k) % nx) + "] is not finite");
    }
    return campo;
}

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

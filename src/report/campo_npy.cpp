// O campo final no formato .npy 1.0 do numpy e a sua descrição em JSON.
#include "report/campo_npy.h"
#include "report/json.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

// Os 8 bytes little-endian de v, qualquer que seja a ordem da máquina.
void bytes_le(double v, char* p) {
    const auto u = std::bit_cast<std::uint64_t>(v);
    for (int b = 0; b < 8; ++b) p[b] = static_cast<char>((u >> (8 * b)) & 0xff);
}

} // namespace

std::string cabecalho_npy(long long ny, long long nx) {
    std::string dicionario = "{'descr': '<f8', 'fortran_order': False, 'shape': (" + std::to_string(ny) + ", " +
                             std::to_string(nx) + "), }";
    const std::size_t fixo = 10; // magia, versão e o tamanho do cabeçalho
    const std::size_t total = (fixo + dicionario.size() + 1 + 63) / 64 * 64;
    dicionario.append(total - fixo - dicionario.size() - 1, ' ');
    dicionario += '\n';
    std::string r = "\x93NUMPY";
    r += '\x01';
    r += '\x00';
    r += static_cast<char>(dicionario.size() & 0xff);
    r += static_cast<char>((dicionario.size() >> 8) & 0xff);
    return r + dicionario;
}

void escrever_campo_npy(saida_texto& saida, std::span<const double> campo, int nx, int ny) {
    saida.bruto(cabecalho_npy(ny, nx));
    std::string linha(static_cast<std::size_t>(nx) * 8, '\0');
    for (long j = 1; j <= ny; ++j) {
        const double* l = campo.data() + (j - 1) * static_cast<long>(nx);
        for (int i = 1; i <= nx; ++i) bytes_le(l[i], linha.data() + static_cast<std::size_t>(i - 1) * 8);
        saida.bruto(linha);
    }
}

std::string arquivo_do_erro(const std::string& campo) {
    const bool npy = campo.size() > 4 && campo.ends_with(".npy");
    return (npy ? campo.substr(0, campo.size() - 4) : campo) + "-erro.npy";
}

std::string arquivo_da_descricao(const std::string& campo) { return campo + ".json"; }

std::string descricao_campo(const estado_execucao& e, const metodo_efetivo& metodo) {
    const int nx = e.nxg[e.nm], ny = e.nyg[e.nm];
    const double l1 = e.hist.empty() ? 0.0 : e.hist[static_cast<std::size_t>(e.niter)];
    return "{\n"
           "  \"format\": \"placa field\",\n"
           "  \"version\": 1,\n"
           "  \"shape\": [" + std::to_string(ny) + ", " + std::to_string(nx) + "],\n"
           "  \"problem\": " + texto_json(texto_problema(metodo.problema)) + ",\n"
           "  \"eps\": " + texto_numero(metodo.eps) + ",\n"
           "  \"coefficient\": " + texto_json(texto_coeficiente(metodo.coeficiente)) + ",\n"
           "  \"caso\": " + texto_json(utf8(sem_brancos_finais(e.caso))) + ",\n"
           "  \"niter\": " + std::to_string(e.niter) + ",\n"
           "  \"L1\": " + (std::isfinite(l1) ? numero_csv(l1) : std::string("null")) + "\n"
           "}\n";
}

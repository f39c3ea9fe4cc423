// O campo final para o numpy: o formato .npy 1.0 (float64 little-endian, ordem C, forma (ny, nx): T[j, i] com x
// nas colunas), o nome do arquivo do erro e a descrição ao lado (FILE.npy.json) que um reinício confere.
#pragma once

#include <span>
#include <string>

#include "report/listagem.h"

/// Cabeçalho .npy 1.0 de um campo ny x nx de '<f8' em ordem C, completado com brancos e '\n' até um múltiplo de 64
/// bytes, como o numpy escreve.
std::string cabecalho_npy(long long ny, long long nx);
/// O arquivo .npy inteiro: cabeçalho e os nx*ny valores de `campo` (índices 1..nx*ny, P = i + (j-1)*nx) em ordem de
/// armazenamento, cada um em 8 bytes little-endian.
void escrever_campo_npy(saida_texto& saida, std::span<const double> campo, int nx, int ny);
/// O arquivo do erro algébrico ao lado do campo: FILE sem o ".npy" final, mais "-erro.npy".
std::string arquivo_do_erro(const std::string& campo);
/// A descrição ao lado do campo: FILE mais ".json".
std::string arquivo_da_descricao(const std::string& campo);
/// A descrição (JSON, UTF-8): formato, forma, problema, eps e coeficiente, que um reinício confere, e o caso e as
/// iterações feitas, que só informam.
std::string descricao_campo(const estado_execucao& e, const metodo_efetivo& metodo);
